// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef USBSERIALPORTMONITOR_P_H
#define USBSERIALPORTMONITOR_P_H

#include <QList>
#include <QObject>
#include <QSerialPortInfo>

class HidMonitorWidget;
class UsbSerialPortMonitor;

class UsbSerialPortMonitorPrivate : public QObject
{
    Q_OBJECT
public:
    explicit UsbSerialPortMonitorPrivate(UsbSerialPortMonitor *monitor);

    QList<QSerialPortInfo> m_ports;
    HidMonitorWidget *m_hidMonitor;
    UsbSerialPortMonitor *q;

    // Reports the port of a USB device that has just arrived: false while a product of the
    // table has no port yet, true once reported or when there is nothing to look for.
    bool searchArrival(const QString &devicePath);

private slots:
    void onDeviceRemoved(const QString &devicePath);
    void searchInserted(const QString &targetDevicePath);

private:
    QStringList productNamesOf(const QSerialPortInfo &port) const;
    void report(const QSerialPortInfo &port);
    void scanAll();
    // Where the system names a new device's port only after announcing the device.
    void searchAgainLater(const QString &devicePath);
};

#endif // USBSERIALPORTMONITOR_P_H
