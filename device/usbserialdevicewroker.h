// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef USBSERIALDEVICEWROKER_H
#define USBSERIALDEVICEWROKER_H

#include <QByteArray>
#include <QMutex>
#include <QObject>
#include <QString>

class QSerialPort;
class QThread;
class USBSerialDevice;

// Lives on a thread of its own and owns the serial port, so that no port I/O
// ever blocks the GUI thread. Each slot runs on that thread and hands straight
// back to the device's matching *Impl hook.
class USBSerialDeviceWroker : public QObject
{
    Q_OBJECT
public:
    explicit USBSerialDeviceWroker(USBSerialDevice *device);
    ~USBSerialDeviceWroker() override;

    QString portName() const;
    void setPortName(const QString &portName);

    // Runs any close still pending, then stops and joins the thread. Safe to call twice.
    void shutdown();

public slots:
    void open(const QString &portName);
    void close();
    void onSerialReadyRead();
    void write(const QByteArray &bytes);
    void writeAndWait(const QByteArray &bytes);

private:
    friend class USBSerialDevice;

    QString m_portName;
    USBSerialDevice *m_device;
    QSerialPort *m_serialPort;
    QThread *m_thread;
    // m_portName is written on the GUI thread and read on this worker's thread.
    mutable QMutex m_portNameMutex;
};

#endif // USBSERIALDEVICEWROKER_H
