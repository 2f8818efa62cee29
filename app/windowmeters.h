// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef WINDOWMETERS_H
#define WINDOWMETERS_H

#include "meterset.h"

#include <QHash>
#include <QList>
#include <QMetaObject>
#include <QObject>

class CommonCurrentUSBDevice;
class MeasurementFeed;

// Every meter the window follows, each with a feed of its own (its history, what its recording
// and its publishing are fed from), and the one the pages show. The pages, the state label and
// the replay were built for one device; they are given picked(), a device object that never
// opens a port and only passes on what the picked meter's device says, so that picking
// another meter is no rewiring of the pages.
class WindowMeters : public QObject
{
    Q_OBJECT
public:
    explicit WindowMeters(QObject *parent = nullptr);
    ~WindowMeters() override;

    void start();

    CommonCurrentUSBDevice *picked() const { return m_relay; }
    QString pickedMeter() const { return m_picked; }
    void pick(const QString &meter);

    QStringList meters() const { return m_meters.meters(); }
    bool isPresent(const QString &meter) const { return m_meters.isPresent(meter); }
    CommonCurrentUSBDevice *device(const QString &meter) const { return m_meters.device(meter); }
    MeasurementFeed *feed(const QString &meter) const { return m_feeds.value(meter); }

signals:
    void meterAdded(const QString &meter);
    // Plugged in or pulled out.
    void presenceChanged(const QString &meter);
    void pickedChanged(const QString &meter);

private:
    void onMeterAdded(const QString &meter, CommonCurrentUSBDevice *device);
    void onPresenceChanged(const QString &meter);
    void relay(CommonCurrentUSBDevice *device);

    MeterSet m_meters;
    CommonCurrentUSBDevice *m_relay;
    QHash<QString, MeasurementFeed *> m_feeds;
    QString m_picked;
    QList<QMetaObject::Connection> m_relayed;
};

#endif // WINDOWMETERS_H
