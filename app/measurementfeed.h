// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef MEASUREMENTFEED_H
#define MEASUREMENTFEED_H

#include "measurement.h"
#include "measurementhistory.h"

#include <QObject>

class CommonCurrentUSBDevice;

// One meter's stream of real measurements in the window: what it sent while it
// was online, with the time its worker read each one, kept in its history. The zeros a closing port sends and those the window shows before any
// meter never pass. A silent or departed meter leaves a gap in the history.
class MeasurementFeed : public QObject
{
    Q_OBJECT

public:
    explicit MeasurementFeed(CommonCurrentUSBDevice *device, QObject *parent = nullptr);

    bool isOnline() const { return m_online; }
    const MeasurementHistory &history() const { return m_history; }

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
    bool m_online = false;
};

#endif // MEASUREMENTFEED_H
