// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef MEASUREMENT_H
#define MEASUREMENT_H

#include <QDateTime>
#include <QDeadlineTimer>
#include <QMetaType>
#include <QString>

// One measurement as the meter's worker thread decoded it, and as the window,
// the recorder and the publisher take it: it is timed where the reply is read,
// so a consumer that is busy for a while still sees when each one came.
struct Measurement
{
    // The wall clock when the reply was decoded.
    QDateTime time;
    // Seconds since the first measurement of whatever run takes it; each consumer counts its own
    // (see secondsSince), and a recording read back carries its file's column.
    double elapsedSeconds = 0;
    double voltage = 0;
    double current = 0;
    double power = 0;
    // The monotonic clock when the reply was decoded: a change of the system clock moves `time`,
    // never this, so durations and totals are counted on it.
    qint64 monotonicNs = 0;
    // Which meter: its USB serial number, or its port's name where it has none.
    QString meter;

    // The monotonic clock that monotonicNs is read from, in nanoseconds.
    static qint64 monotonicNow()
    {
        return QDeadlineTimer::current(Qt::PreciseTimer).deadlineNSecs();
    }
    double secondsSince(qint64 originNs) const { return (monotonicNs - originNs) / 1e9; }
};

Q_DECLARE_METATYPE(Measurement)

#endif // MEASUREMENT_H
