// SPDX-License-Identifier: GPL-3.0-or-later
#include "usbserialportmonitor.h"

#include "devicepath.h"
#include "hidmonitorwidget.h"
#include "usbserialportmonitor_p.h"

#include <algorithm>
#include <utility>

static quint32 keyOf(const QSerialPortInfo &port)
{
    return usbIdentifierKey(port.vendorIdentifier(), port.productIdentifier());
}

static bool hasUsbIdentifiers(const QSerialPortInfo &port)
{
    return port.hasVendorIdentifier() && port.hasProductIdentifier();
}

UsbSerialPortMonitor *UsbSerialPortMonitor::instance()
{
    // Only ever reached from the GUI thread, so the first call needs no lock.
    static UsbSerialPortMonitor *monitor = nullptr;
    if (!monitor)
        monitor = new UsbSerialPortMonitor;
    return monitor;
}

UsbSerialPortMonitor::UsbSerialPortMonitor(QObject *parent)
    : QObject(parent)
{
    m_products.insert(usbIdentifierKey(0x0483, 0x5740), {QStringLiteral("Kestravon-码片编程器")});
    m_products.insert(usbIdentifierKey(0x28E9, 0x018A), {QStringLiteral("Kestravon-电流表")});
    m_products.insert(usbIdentifierKey(0x303A, 0x1001), {QStringLiteral("通用电流表")});
    m_products.insert(usbIdentifierKey(0x0403, 0x6001), {QStringLiteral("Kestravon-阻值测试仪")});
    d = new UsbSerialPortMonitorPrivate(this);
}

QHash<QString, QStringList> UsbSerialPortMonitor::foundSerials() const
{
    QHash<QString, QStringList> found;
    for (const QSerialPortInfo &port : std::as_const(d->m_ports)) {
        const auto product = m_products.constFind(keyOf(port));
        if (product != m_products.cend())
            found.insert(port.portName(), product.value());
    }
    return found;
}

UsbSerialPortMonitorPrivate::UsbSerialPortMonitorPrivate(UsbSerialPortMonitor *monitor)
    : QObject(monitor)
    , m_hidMonitor(new HidMonitorWidget)
    , q(monitor)
{
    connect(m_hidMonitor, &HidMonitorWidget::deviceInserted, this,
        &UsbSerialPortMonitorPrivate::searchInserted);
    connect(m_hidMonitor, &HidMonitorWidget::deviceRemoved, this,
        &UsbSerialPortMonitorPrivate::onDeviceRemoved);
    // Nobody listens yet: this only fills m_ports for foundSerials().
    searchInserted(QString());
}

QStringList UsbSerialPortMonitorPrivate::productNamesOf(const QSerialPortInfo &port) const
{
    if (!hasUsbIdentifiers(port))
        return {};
    return q->m_products.value(keyOf(port));
}

void UsbSerialPortMonitorPrivate::report(const QSerialPortInfo &port)
{
    // Listed once however often it is announced: one removal forgets it, so that a port
    // that is gone is never taken as the next one present.
    const auto listed = std::find_if(m_ports.cbegin(), m_ports.cend(),
        [&port](const QSerialPortInfo &known) { return known.portName() == port.portName(); });
    if (listed == m_ports.cend())
        m_ports.append(port);
    emit q->serialFounded(port.portName(), productNamesOf(port));
}

void UsbSerialPortMonitorPrivate::scanAll()
{
    const QList<QSerialPortInfo> ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &port : ports) {
        if (!productNamesOf(port).isEmpty())
            report(port);
    }
}

void UsbSerialPortMonitorPrivate::searchInserted(const QString &targetDevicePath)
{
    if (targetDevicePath.isEmpty()) {
        scanAll();
        return;
    }

    if (!searchArrival(targetDevicePath))
        searchAgainLater(targetDevicePath);
}

bool UsbSerialPortMonitorPrivate::searchArrival(const QString &devicePath)
{
    quint32 key = 0;
    QString serial;
    // Nothing is ever found for a path that does not name a product of the table.
    if (!parseDevicePath(devicePath, key, serial) || serial.isEmpty()
        || !q->m_products.contains(key))
        return true;

    // One port per arrival.
    const QList<QSerialPortInfo> ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &port : ports) {
        if (!productNamesOf(port).isEmpty() && keyOf(port) == key
            && port.serialNumber().toLower() == serial.toLower()) {
            report(port);
            return true;
        }
    }
    return false;
}

void UsbSerialPortMonitorPrivate::onDeviceRemoved(const QString &devicePath)
{
    quint32 key = 0;
    QString serial;
    if (!parseDevicePath(devicePath, key, serial) || serial.isEmpty() || key == 0)
        return;

    for (int i = 0; i < m_ports.size(); ++i) {
        const QSerialPortInfo &port = m_ports.at(i);
        if (keyOf(port) == key && port.serialNumber().toLower() == serial.toLower()) {
            // Forgotten before it is reported, so that a listener looking for the next
            // port present does not find this one.
            const QString portName = port.portName();
            m_ports.removeAt(i);
            emit q->serialRemoved(portName);
            return;
        }
    }
}
