// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef WINDOWPUBLISHER_H
#define WINDOWPUBLISHER_H

#include "brokersettings.h"
#include "runstretch.h"

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
    enum class Problem { None, Url, PasswordFile, CaFile };

    // The device names the meter; the feed brings its measurements.
    WindowPublisher(MeasurementFeed *feed, CommonCurrentUSBDevice *device, AppSettings *settings,
        QObject *parent = nullptr);

    // The broker as the settings describe it, and what keeps it from being used.
    static Problem readBroker(const AppSettings *settings, BrokerSettings *broker);

    bool isPublishing() const { return m_publisher != nullptr; }
    // The connection in a line, in the current language; empty while publishing is off.
    QString statusText() const;

signals:
    void statusChanged();

private:
    enum class State { Off, Misconfigured, Connecting, Connected, Failed };

    void configure();
    void retire();
    void onMeterArrived();
    void onMeasured(const Measurement &measurement);
    void setState(State state, const QString &detail = QString());

    MeasurementFeed *m_feed;
    CommonCurrentUSBDevice *m_device;
    AppSettings *m_settings;
    MeterPublisher *m_publisher = nullptr;
    BrokerSettings m_broker;
    State m_state = State::Off;
    QString m_detail;
    QString m_meter;
    RunStretch m_totals;
};

#endif // WINDOWPUBLISHER_H
