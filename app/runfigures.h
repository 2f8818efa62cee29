// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef RUNFIGURES_H
#define RUNFIGURES_H

#include "runtotals.h"

#include <QElapsedTimer>
#include <QObject>

class MeasurementFeed;

// The figures of the current run: since the meter was plugged in, or since the
// user reset them. Without a meter they keep the last run's until a reset or
// the next plug.
class RunFigures : public QObject
{
    Q_OBJECT

public:
    explicit RunFigures(MeasurementFeed *feed, QObject *parent = nullptr);

    // False before any run and after a reset without a meter.
    bool hasRun() const { return m_hasRun; }
    bool isRunning() const { return m_running; }
    const RunTotals &totals() const { return m_totals; }
    qint64 elapsedSeconds() const;

    void reset();

signals:
    void changed();

private:
    void begin();
    void onMeterLeft();
    void onMeasured(const Measurement &measurement);

    MeasurementFeed *m_feed;
    RunTotals m_totals;
    QElapsedTimer m_clock;
    qint64 m_frozenMs = 0;
    bool m_hasRun = false;
    bool m_running = false;
};

#endif // RUNFIGURES_H
