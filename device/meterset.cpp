// SPDX-License-Identifier: GPL-3.0-or-later
#include "meterset.h"

#include "commoncurrentusbdevice.h"
#include "usbserialportmonitor.h"

#include <QSerialPortInfo>

MeterSet::MeterSet(const QString &only, QObject *parent)
    : QObject(parent)
    , m_only(only)
{ }

MeterSet::~MeterSet()
{
    // The last close of each device reports it offline; nobody must take that for an unplug.
    for (CommonCurrentUSBDevice *device : std::as_const(m_devices))
        device->disconnect();
    qDeleteAll(m_devices);
}

void MeterSet::start()
{
    UsbSerialPortMonitor *monitor = UsbSerialPortMonitor::instance();
    connect(monitor, &UsbSerialPortMonitor::serialFounded, this, &MeterSet::onSerialFounded);
    connect(monitor, &UsbSerialPortMonitor::serialRemoved, this, &MeterSet::onSerialRemoved);
    const QHash<QString, QStringList> present = monitor->foundSerials();
    for (auto it = present.cbegin(); it != present.cend(); ++it)
        onSerialFounded(it.key(), it.value());
}

bool MeterSet::isPresent(const QString &meter) const
{
    const CommonCurrentUSBDevice *device = m_devices.value(meter);
    return device && !device->portName().isEmpty();
}

QString MeterSet::meterOf(const QString &portName)
{
    const QString serial = QSerialPortInfo(portName).serialNumber().trimmed();
    if (!serial.isEmpty())
        return serial;
    return portName.startsWith(QLatin1String("/dev/")) ? portName.mid(5) : portName;
}

void MeterSet::onSerialFounded(const QString &portName, const QStringList &productNames)
{
    if (!productNames.contains(CommonCurrentUSBDevice::meterProductName()))
        return;
    // Announced again: tried again if it failed since, as a single device does.
    const QString known = m_meterOnPort.value(portName);
    if (!known.isEmpty()) {
        if (!isPresent(known))
            m_devices.value(known)->openPort(portName);
        return;
    }
    const QString meter = meterOf(portName);
    if ((!m_only.isEmpty() && meter != m_only) || isPresent(meter))
        return;
    m_meterOnPort.insert(portName, meter);
    CommonCurrentUSBDevice *device = m_devices.value(meter);
    if (!device) {
        device = new CommonCurrentUSBDevice;
        m_devices.insert(meter, device);
        m_meters.append(meter);
        emit meterAdded(meter, device);
    }
    // Given its port rather than left to pick one from the monitor, so that it never takes
    // another meter's port when its own goes.
    device->openPort(portName);
    emit meterPlugged(meter);
}

void MeterSet::onSerialRemoved(const QString &portName)
{
    const QString meter = m_meterOnPort.take(portName);
    if (meter.isEmpty())
        return;
    m_devices.value(meter)->closePort();
    emit meterUnplugged(meter);
}
