// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef USBSERIALDEVICE_H
#define USBSERIALDEVICE_H

#include <QByteArray>
#include <QObject>
#include <QSet>
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
    // Why a port could not be opened. The system reports a port held by another
    // program as a permission error too; its access rights tell the two apart.
    enum OpenError { PermissionDenied, PortBusy, OtherOpenError };
    Q_ENUM(OpenError)

    explicit USBSerialDevice(QObject *parent = nullptr);
    ~USBSerialDevice() override;

    // The product name the port monitor must list for a port before it is opened; "*" takes any.
    virtual QString productName() const = 0;
    virtual int baudRate() const = 0;

    // Call from the worker thread only; null while no port object exists.
    QSerialPort *serialPort() const;
    // The port last accepted from the monitor; empty when none. Safe from any thread.
    QString portName() const;

    // Takes the first matching port present, and from then on follows the monitor: one port is
    // remembered, only while it is in use; when it goes, the next matching port present is taken.
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

signals:
    // On the GUI thread. The port is forgotten; its next plug event tries it again.
    void openFailed(const QString &systemLocation, USBSerialDevice::OpenError error);

protected:
    // The object that lives on the worker thread: the parent and context of what a subclass keeps
    // there, such as its poll timer.
    QObject *workerContext() const;
    // Worker thread: gives up the open port as an unplug does (closed, forgotten, the next
    // matching port taken), for a port that failed or a meter that never answered. The port
    // is tried again on its next plug event.
    void dropPort();
    // A subclass destructor calls this first, so that none of its hooks can run
    // on the worker thread while its members are being destroyed.
    void stopWorker();

private slots:
    void onSerialFounded(const QString &portName, const QStringList &productNames);
    void onSerialRemoved(const QString &portName);

private:
    bool accepts(const QStringList &productNames) const;
    void watchForFailure(QSerialPort *port);
    void refuseOpen(QSerialPort *port);
    void onPortFailed(const QString &portName);
    void openNextPresent();

    USBSerialDeviceWroker *m_worker;
    // GUI thread only. Ports that failed since their last plug event: not taken as the next.
    QSet<QString> m_failedPorts;
    bool m_monitoring = false;
};

#endif // USBSERIALDEVICE_H
