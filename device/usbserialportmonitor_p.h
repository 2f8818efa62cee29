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

private slots:
    void onDeviceRemoved(const QString &devicePath);
    void searchInserted(const QString &targetDevicePath);

private:
    QStringList productNamesOf(const QSerialPortInfo &port) const;
    void report(const QSerialPortInfo &port);
    void scanAll();
};

#endif // USBSERIALPORTMONITOR_P_H
