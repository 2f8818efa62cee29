// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef USBSERIALDEVICE_H
#define USBSERIALDEVICE_H

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>

class QSerialPort;
class USBSerialDeviceWroker;

// Base of every USB device reached through a serial port. The object lives on
// the GUI thread; its port lives on a worker thread of its own. The public slots
// only post to the worker, and the *Impl hooks, afterOpenInit() and
// onSerialReadyRead() run on the worker thread.
class USBSerialDevice : public QObject
{
    Q_OBJECT
public:
    explicit USBSerialDevice(QObject *parent = nullptr);
    ~USBSerialDevice() override;

    // The product name the port monitor must list for a port before it is opened; "*" takes any.
    virtual QString productName() const = 0;
    virtual int baudRate() const = 0;

    // Call from the worker thread only; null while no port object exists.
    QSerialPort *serialPort() const;
    // The port last accepted from the monitor; empty when none. Safe from any thread.
    QString portName() const;

    void startMonitor();
    // What a monitor report of a matching port does, for a caller that picked the port itself:
    // remember it and open it, or forget it and close it.
    void openPort(const QString &portName);
    void closePort();

public slots:
    virtual void writeAndWaitImpl(const QByteArray &bytes);
    virtual void afterOpenInit();
    virtual void openImpl(const QString &portName);
    virtual void closeImpl();
    virtual void onSerialReadyRead();

    void open(const QString &portName);
    void close();
    void write(const QByteArray &bytes);
    void writeAndWait(const QByteArray &bytes);
    void writeImpl(const QByteArray &bytes);

protected:
    // A subclass destructor calls this first, so that none of its hooks can run
    // on the worker thread while its members are being destroyed.
    void stopWorker();

private slots:
    void onSerialFounded(const QString &portName, const QStringList &productNames);
    void onSerialRemoved(const QString &portName);

private:
    bool accepts(const QStringList &productNames) const;

    USBSerialDeviceWroker *m_worker;
};

#endif // USBSERIALDEVICE_H
