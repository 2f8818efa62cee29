// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef USBSERIALPORTMONITOR_H
#define USBSERIALPORTMONITOR_H

#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>

class UsbSerialPortMonitorPrivate;

// Knows which serial ports belong to supported USB products and says so as they
// come and go. One instance per process, living on the GUI thread.
class UsbSerialPortMonitor : public QObject
{
    Q_OBJECT
public:
    static UsbSerialPortMonitor *instance();

    // Port name to product names, for every port reported found and not yet removed.
    QHash<QString, QStringList> foundSerials() const;

signals:
    void serialFounded(const QString &portName, const QStringList &productNames);
    void serialRemoved(const QString &portName);

private:
    explicit UsbSerialPortMonitor(QObject *parent = nullptr);

    friend class UsbSerialPortMonitorPrivate;

    QHash<quint32, QStringList> m_products;
    UsbSerialPortMonitorPrivate *d;
};

#endif // USBSERIALPORTMONITOR_H
