// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef WINDOWPUBLISHER_H
#define WINDOWPUBLISHER_H

#include "runtotals.h"

#include <QObject>

class AppSettings;
class CommonCurrentUSBDevice;
class MeasurementFeed;
class MeterPublisher;

// The window's measurements to an MQTT broker, through the same publisher as
// ammeter-log --mqtt, as the "Services" settings say: switched on and off,
// and pointed at another broker, while the window runs. Off unless the user
// turns it on: a window that sent measurements anywhere unasked would surprise
// everyone but a lab that watches all its benches at once.
class WindowPublisher : public QObject
{
    Q_OBJECT
public:
    // The device names the meter; the feed brings its measurements.
    WindowPublisher(MeasurementFeed *feed, CommonCurrentUSBDevice *device, AppSettings *settings,
        QObject *parent = nullptr);

    bool isPublishing() const { return m_publisher != nullptr; }

private:
    void configure();
    void retire();
    void onMeasured(const Measurement &measurement);

    MeasurementFeed *m_feed;
    CommonCurrentUSBDevice *m_device;
    AppSettings *m_settings;
    MeterPublisher *m_publisher = nullptr;
    RunTotals m_totals;
};

#endif // WINDOWPUBLISHER_H
