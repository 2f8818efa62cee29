// SPDX-License-Identifier: GPL-3.0-or-later
#include "usbserialdevice.h"

#include "usbserialdevicewroker.h"
#include "usbserialportmonitor.h"

#include <QDebug>
#include <QFileInfo>
#include <QSerialPort>
#include <QSerialPortInfo>

namespace {

QString systemLocationOf(const QString &portName)
{
    const QString location = QSerialPortInfo(portName).systemLocation();
    return location.isEmpty() ? portName : location;
}

USBSerialDevice::OpenError openErrorOf(QSerialPort *port, const QString &location)
{
    if (port->error() != QSerialPort::PermissionError)
        return USBSerialDevice::OtherOpenError;
    // Where the port is no file (a Windows COM port), only another program can hold it.
    const QFileInfo file(location);
    if (!file.exists() || (file.isReadable() && file.isWritable()))
        return USBSerialDevice::PortBusy;
    return USBSerialDevice::PermissionDenied;
}

} // namespace

USBSerialDevice::USBSerialDevice(QObject *parent)
    : QObject(parent)
    , m_worker(new USBSerialDeviceWroker(this))
{
    qRegisterMetaType<USBSerialDevice::OpenError>();
}

USBSerialDevice::~USBSerialDevice()
{
    delete m_worker;
}

void USBSerialDevice::stopWorker()
{
    m_worker->shutdown();
}

QObject *USBSerialDevice::workerContext() const
{
    return m_worker;
}

QSerialPort *USBSerialDevice::serialPort() const
{
    return m_worker->m_serialPort;
}

QString USBSerialDevice::portName() const
{
    return m_worker->portName();
}

void USBSerialDevice::startMonitor()
{
    UsbSerialPortMonitor *monitor = UsbSerialPortMonitor::instance();
    connect(monitor, &UsbSerialPortMonitor::serialFounded, this, &USBSerialDevice::onSerialFounded);
    connect(monitor, &UsbSerialPortMonitor::serialRemoved, this, &USBSerialDevice::onSerialRemoved);
    m_monitoring = true;
    openNextPresent();
}

void USBSerialDevice::openNextPresent()
{
    if (!m_monitoring || !portName().isEmpty())
        return;
    const QHash<QString, QStringList> known = UsbSerialPortMonitor::instance()->foundSerials();
    for (auto it = known.cbegin(); it != known.cend(); ++it) {
        if (accepts(it.value()) && !m_failedPorts.contains(it.key())) {
            openPort(it.key());
            return;
        }
    }
}

void USBSerialDevice::writeAndWaitImpl(const QByteArray &bytes)
{
    Q_UNUSED(bytes)
}

void USBSerialDevice::afterOpenInit() { }

void USBSerialDevice::openImpl(const QString &portName)
{
    QSerialPort *port = m_worker->m_serialPort;
    if (port && port->isOpen())
        return;

    // A previous port object that failed to open stays a child of the worker until it goes.
    port = new QSerialPort(m_worker);
    m_worker->m_serialPort = port;
    port->setPortName(portName);
    port->setParity(QSerialPort::NoParity);
    port->setBaudRate(baudRate(), QSerialPort::AllDirections);
    port->setDataBits(QSerialPort::Data8);
    if (!port->open(QIODevice::ReadWrite)) {
        refuseOpen(port);
        return;
    }
    watchForFailure(port);

    // The hook talks to the device synchronously; the data-ready path must not see those bytes.
    afterOpenInit();
    connect(port, &QSerialPort::readyRead, m_worker, &USBSerialDeviceWroker::onSerialReadyRead);
}

// A tty whose device vanished without a removal event (a hub that lost power, a driver that
// dropped it) reports a resource error, and would wake the worker for ever with nothing to
// read: it goes the way of an unplugged one.
void USBSerialDevice::watchForFailure(QSerialPort *port)
{
    connect(port, &QSerialPort::errorOccurred, m_worker,
        [this, port](QSerialPort::SerialPortError error) {
            if (error != QSerialPort::ResourceError)
                return;
            qDebug() << "onSerialError" << port->portName() << port->errorString();
            disconnect(port, nullptr, m_worker, nullptr);
            dropPort();
        });
}

void USBSerialDevice::refuseOpen(QSerialPort *port)
{
    const QString name = port->portName();
    const QString location = systemLocationOf(name);
    const OpenError error = openErrorOf(port, location);
    qDebug() << "openImpl" << location << port->errorString();
    QMetaObject::invokeMethod(
        this,
        [this, name, location, error] {
            if (name != portName())
                return;
            m_worker->setPortName(QString());
            m_failedPorts.insert(name);
            emit openFailed(location, error);
            openNextPresent();
        },
        Qt::QueuedConnection);
}

void USBSerialDevice::dropPort()
{
    const QString name = portName();
    QMetaObject::invokeMethod(
        this, [this, name] { onPortFailed(name); }, Qt::QueuedConnection);
}

void USBSerialDevice::onPortFailed(const QString &portName)
{
    if (portName.isEmpty() || portName != this->portName())
        return;
    m_failedPorts.insert(portName);
    closePort();
    openNextPresent();
}

void USBSerialDevice::closeImpl()
{
    QSerialPort *port = m_worker->m_serialPort;
    if (!port)
        return;
    disconnect(port, &QSerialPort::readyRead, m_worker, &USBSerialDeviceWroker::onSerialReadyRead);
    port->close();
    delete port;
    m_worker->m_serialPort = nullptr;
}

void USBSerialDevice::onSerialReadyRead()
{
    const QByteArray bytes = m_worker->m_serialPort->readAll();
    qDebug() << "onSerialReadyRead" << bytes.toHex(' ');
}

void USBSerialDevice::open(const QString &portName)
{
    QMetaObject::invokeMethod(m_worker, "open", Qt::QueuedConnection, Q_ARG(QString, portName));
}

void USBSerialDevice::close()
{
    QMetaObject::invokeMethod(m_worker, "close", Qt::QueuedConnection);
}

void USBSerialDevice::write(const QByteArray &bytes)
{
    QMetaObject::invokeMethod(m_worker, "write", Qt::QueuedConnection, Q_ARG(QByteArray, bytes));
}

void USBSerialDevice::writeAndWait(const QByteArray &bytes)
{
    QMetaObject::invokeMethod(
        m_worker, "writeAndWait", Qt::QueuedConnection, Q_ARG(QByteArray, bytes));
}

void USBSerialDevice::writeImpl(const QByteArray &bytes)
{
    QSerialPort *port = m_worker->m_serialPort;
    if (port && port->isOpen())
        port->write(bytes);
}

void USBSerialDevice::openPort(const QString &portName)
{
    m_worker->setPortName(portName);
    open(portName);
}

void USBSerialDevice::closePort()
{
    m_worker->setPortName(QString());
    close();
}

bool USBSerialDevice::accepts(const QStringList &productNames) const
{
    const QString wanted = productName();
    return wanted == QLatin1String("*") || productNames.contains(wanted);
}

// Only a port in use is remembered: a second meter plugged in beside the first is
// left alone, and neither its removal nor the first one's loses track of the other.
void USBSerialDevice::onSerialFounded(const QString &portName, const QStringList &productNames)
{
    m_failedPorts.remove(portName);
    if (accepts(productNames) && this->portName().isEmpty())
        openPort(portName);
}

void USBSerialDevice::onSerialRemoved(const QString &portName)
{
    m_failedPorts.remove(portName);
    if (portName != m_worker->portName())
        return;
    closePort();
    openNextPresent();
}
