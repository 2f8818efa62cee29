// SPDX-License-Identifier: GPL-3.0-or-later
#include "usbserialdevice.h"

#include "usbserialdevicewroker.h"
#include "usbserialportmonitor.h"

#include <QDebug>
#include <QSerialPort>

USBSerialDevice::USBSerialDevice(QObject *parent)
    : QObject(parent)
    , m_worker(new USBSerialDeviceWroker(this))
{ }

USBSerialDevice::~USBSerialDevice()
{
    delete m_worker;
}

void USBSerialDevice::stopWorker()
{
    m_worker->shutdown();
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

    const QHash<QString, QStringList> known = monitor->foundSerials();
    for (auto it = known.cbegin(); it != known.cend(); ++it) {
        if (accepts(it.value())) {
            onSerialFounded(it.key(), it.value());
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
    if (!port->open(QIODevice::ReadWrite))
        return;

    // The hook talks to the device synchronously; the data-ready path must not see those bytes.
    afterOpenInit();
    connect(port, &QSerialPort::readyRead, m_worker, &USBSerialDeviceWroker::onSerialReadyRead);
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

void USBSerialDevice::onSerialFounded(const QString &portName, const QStringList &productNames)
{
    if (accepts(productNames))
        openPort(portName);
}

void USBSerialDevice::onSerialRemoved(const QString &portName)
{
    if (portName == m_worker->portName())
        closePort();
}
