// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef RUNREPLAYER_H
#define RUNREPLAYER_H

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

class RecordedRun;

// Plays a recorded run back in time, at its own pace or faster: each step hands on the rows
// whose time has come since the last one.
class RunReplayer : public QObject
{
    Q_OBJECT

public:
    explicit RunReplayer(QObject *parent = nullptr);

    // The run stays owned by the caller and must outlive the replay.
    void start(const RecordedRun *run);
    void stop();
    bool isActive() const { return m_run != nullptr; }

    void setSpeed(int factor);
    int speed() const { return m_speed; }
    void setPaused(bool paused);
    bool isPaused() const { return m_paused; }
    // Goes on from this many seconds into the run.
    void seek(double seconds);
    double position() const { return m_position; }
    double duration() const;

signals:
    // The rows from `first` to `last` of the run, oldest first, have come due.
    void rowsReached(qint64 first, qint64 last);
    void positionChanged(double seconds);
    // The position was moved by hand: what was shown of the run so far no longer follows on.
    void sought();
    void finished();

private:
    void step();

    QTimer m_timer;
    QElapsedTimer m_clock;
    const RecordedRun *m_run = nullptr;
    qint64 m_next = 0;
    double m_position = 0;
    int m_speed = 1;
    bool m_paused = false;
};

#endif // RUNREPLAYER_H
