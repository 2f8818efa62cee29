// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef METERSET_H
#define METERSET_H

#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>

class CommonCurrentUSBDevice;

// Every current meter plugged in, each with a device object of its own, and so a worker
// thread and a port of its own: one meter's plug, unplug or silence never touches another's
// polling. A meter is known by its USB serial number, or by its port where it has none, and
// keeps its device object across unplugs, so whoever follows it sees it go and come back.
// A program that follows one meter uses a single CommonCurrentUSBDevice on the monitor
// instead; the set is for following several at once.
class MeterSet : public QObject
{
    Q_OBJECT
public:
    // only: a serial number; every other meter is then left alone.
    explicit MeterSet(const QString &only = QString(), QObject *parent = nullptr);
    ~MeterSet() override;

    // Takes every meter present and follows the port monitor from then on.
    void start();

    // In the order they first came.
    QStringList meters() const { return m_meters; }
    CommonCurrentUSBDevice *device(const QString &meter) const { return m_devices.value(meter); }
    bool isPresent(const QString &meter) const;

    // The name a meter goes by: its USB serial number, or its port's name without "/dev/".
    static QString meterOf(const QString &portName);

signals:
    // Once per meter, at its first plug; its device is about to open the port.
    void meterAdded(const QString &meter, CommonCurrentUSBDevice *device);
    // Each plug and unplug, the first plug included.
    void meterPlugged(const QString &meter);
    void meterUnplugged(const QString &meter);

private:
    void onSerialFounded(const QString &portName, const QStringList &productNames);
    void onSerialRemoved(const QString &portName);

    const QString m_only;
    QStringList m_meters;
    QHash<QString, CommonCurrentUSBDevice *> m_devices;
    // The meter on each port in use.
    QHash<QString, QString> m_meterOnPort;
};

#endif // METERSET_H
