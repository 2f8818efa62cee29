// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef MEASUREMENTFEED_H
#define MEASUREMENTFEED_H

#include "measurement.h"
#include "measurementhistory.h"
#include "runtotals.h"

#include <QObject>
#include <QtMath>

class CommonCurrentUSBDevice;

// One meter's stream of real measurements, the start of the road that the window's history, run
// figures, recording and publishing of that meter all take: what the meter sent while it was
// online, with the time its worker read each one. It puts each into the meter's history and its
// run totals before it says measured(), so whoever listens finds both up to date. The zeros a
// closing port sends and those the window shows before any meter never pass. A silent or
// departed meter leaves a gap in the history.
class MeasurementFeed : public QObject
{
    Q_OBJECT

public:
    explicit MeasurementFeed(CommonCurrentUSBDevice *device, QObject *parent = nullptr);

    bool isOnline() const { return m_online; }
    const MeasurementHistory &history() const { return m_history; }
    // Everything the meter measured while the window followed it, counted once: the status bar,
    // the recording and the publishing each read their stretch of it (RunStretch).
    const RunTotals &totals() const { return m_totals; }
    // The seconds of its first measurement on the history's time axis; NaN before it.
    double firstSeconds() const { return m_firstSeconds; }

signals:
    void meterArrived();
    void meterLeft();
    void measured(const Measurement &measurement);

private:
    void onDeviceOnline();
    void onDeviceOffline();
    void onDeviceNotResponding();
    void onMeasured(Measurement measurement);
    void appendGap();

    MeasurementHistory m_history;
    RunTotals m_totals;
    double m_firstSeconds = qQNaN();
    bool m_online = false;
};

#endif // MEASUREMENTFEED_H
