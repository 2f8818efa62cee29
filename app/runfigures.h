// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef RUNFIGURES_H
#define RUNFIGURES_H

#include "runstretch.h"

#include <QElapsedTimer>
#include <QMetaObject>
#include <QObject>

class MeasurementFeed;
class WindowMeters;

// The figures of the current run of the meter the pages show: since it was plugged in, picked,
// or since the user reset them. Without a meter they keep the last run's until a reset or the
// next plug. They are a stretch of the meter's one count, which its recording and its
// publishing read too.
class RunFigures : public QObject
{
    Q_OBJECT

public:
    explicit RunFigures(WindowMeters *meters, QObject *parent = nullptr);

    // False before any run and after a reset without a meter.
    bool hasRun() const { return m_hasRun; }
    bool isRunning() const { return m_running; }
    const RunStretch &totals() const { return m_totals; }
    qint64 elapsedSeconds() const;

    void reset();

signals:
    void changed();

private:
    void follow(const QString &meter);
    void begin();
    void onMeterLeft();
    void onMeasured();

    WindowMeters *m_meters;
    const MeasurementFeed *m_feed = nullptr;
    QList<QMetaObject::Connection> m_followed;
    RunStretch m_totals;
    QElapsedTimer m_clock;
    qint64 m_frozenMs = 0;
    bool m_hasRun = false;
    bool m_running = false;
};

#endif // RUNFIGURES_H
