// SPDX-License-Identifier: GPL-3.0-or-later
#include "usbserialdevicewroker.h"

#include "usbserialdevice.h"

#include <QMutexLocker>
#include <QSerialPort>
#include <QThread>

USBSerialDeviceWroker::USBSerialDeviceWroker(USBSerialDevice *device)
    : QObject(nullptr)
    , m_device(device)
    , m_serialPort(nullptr)
    , m_thread(new QThread)
{
    moveToThread(m_thread);
    m_thread->start(QThread::InheritPriority);
}

USBSerialDeviceWroker::~USBSerialDeviceWroker()
{
    shutdown();
    delete m_thread;
}

void USBSerialDeviceWroker::shutdown()
{
    if (m_thread->isFinished())
        return;
    QMetaObject::invokeMethod(this, "close", Qt::QueuedConnection);
    // Quit from inside the worker's queue: quitting from here could end the event
    // loop before it has run the close posted just above.
    QThread *thread = m_thread;
    QMetaObject::invokeMethod(
        this, [thread] { thread->quit(); }, Qt::QueuedConnection);
    m_thread->wait();
}

QString USBSerialDeviceWroker::portName() const
{
    QMutexLocker locker(&m_portNameMutex);
    return m_portName;
}

void USBSerialDeviceWroker::setPortName(const QString &portName)
{
    QMutexLocker locker(&m_portNameMutex);
    m_portName = portName;
}

void USBSerialDeviceWroker::open(const QString &portName)
{
    m_device->openImpl(portName);
}

void USBSerialDeviceWroker::close()
{
    m_device->closeImpl();
}

void USBSerialDeviceWroker::onSerialReadyRead()
{
    m_device->onSerialReadyRead();
}

void USBSerialDeviceWroker::write(const QByteArray &bytes)
{
    m_device->writeImpl(bytes);
}

void USBSerialDeviceWroker::writeAndWait(const QByteArray &bytes)
{
    m_device->writeAndWaitImpl(bytes);
}
