// SPDX-License-Identifier: GPL-3.0-or-later
#include "commoncurrentusbdevice.h"

#include "meterprotocol.h"

#include <QDebug>
#include <QSerialPort>
#include <QThread>
#include <QTimer>
#include <QTimerEvent>

namespace {

const int HandShakeAttempts = 5;
const int HandShakeRetryPauseMs = 500;
const int CalibrationAttempts = 5;

const int ReplyTimeoutMs = 500;
const int WriteTimeoutMs = 30000;
// After the first bytes of a reply, the rest may still be on its way: these
// settle times, and the extra 50 ms rounds they buy, collect it.
const int HandShakeSettleMs = 100;
const int CalibrationSettleMs = 50;
const int SettleRoundMs = 50;

// Timers belong to the GUI thread; the worker reaches it through a single-shot
// with this object as context, this long after the port opened or closed.
const int PollScheduleDelayMs = 50;

} // namespace

CommonCurrentUSBDevice::CommonCurrentUSBDevice(QObject *parent)
    : USBSerialDevice(parent)
    , m_currentCheckValue(0)
    , m_autoPoll(true)
    , m_pollInterval(100)
    , m_pollTimerId(0)
    , m_busy(false)
{ }

CommonCurrentUSBDevice::~CommonCurrentUSBDevice()
{
    // The close that stopping the worker runs can no longer hand the poll timer back to this
    // thread 50 ms later: the object is going, and the hand-over would never run. Stop the poll
    // here instead.
    m_tearingDown = true;
    stopPoll();
    stopWorker();
}

QString CommonCurrentUSBDevice::productName() const
{
    return QStringLiteral("通用电流表");
}

int CommonCurrentUSBDevice::baudRate() const
{
    return 115200;
}

bool CommonCurrentUSBDevice::handShake()
{
    const QByteArray reply
        = writeAndRead(MeterProtocol::measurementRequest(), ReplyTimeoutMs, HandShakeSettleMs);
    qDebug().noquote() << "handShake" << MeterProtocol::hex(reply);
    return MeterProtocol::isHandshakeReply(reply);
}

void CommonCurrentUSBDevice::afterOpenInit()
{
    if (!waitForHandShake()) {
        qDebug() << "afterOpenInit"
                 << "handshake given up";
        return;
    }
    readCalibration();
    if (!m_tearingDown)
        QTimer::singleShot(PollScheduleDelayMs, this, [this] { startPoll(); });
    emit deviceOnline();
}

void CommonCurrentUSBDevice::onSerialReadyRead()
{
    QSerialPort *port = serialPort();
    if (!port)
        return;
    // Each notification is decoded on its own: a frame split over two of them is lost.
    emitReply(MeterProtocol::decodeChunk(readAvailable(port)));
}

void CommonCurrentUSBDevice::closeImpl()
{
    emit deviceOffline();
    qDebug() << "CommonCurrentUSBDevice"
             << "closeImpl";
    emit parameterChanged(0, 0, 0);
    USBSerialDevice::closeImpl();
    if (!m_tearingDown)
        QTimer::singleShot(PollScheduleDelayMs, this, [this] { stopPoll(); });
}

void CommonCurrentUSBDevice::writeAndWaitImpl(const QByteArray &bytes)
{
    m_busy = true;
    // One poll period of quiet, so the answer to a poll already sent is not taken for ours.
    QThread::msleep(ulong(m_pollInterval));
    const QByteArray reply = writeAndRead(bytes, ReplyTimeoutMs, 0);
    qDebug().noquote() << "writeAndWaitImpl" << MeterProtocol::hex(bytes)
                       << MeterProtocol::hex(reply);
    m_busy = false;
}

void CommonCurrentUSBDevice::timerEvent(QTimerEvent *event)
{
    if (event->timerId() != m_pollTimerId || m_busy)
        return;
    // Fire and forget: the reply comes back through onSerialReadyRead().
    write(MeterProtocol::measurementRequest());
}

QByteArray CommonCurrentUSBDevice::writeAndRead(
    const QByteArray &bytes, int timeoutMs, int settleMs)
{
    QSerialPort *port = serialPort();
    if (!port)
        return QByteArray();
    port->write(bytes);
    port->waitForBytesWritten(WriteTimeoutMs);
    port->waitForReadyRead(timeoutMs);
    QThread::msleep(ulong(settleMs));
    QByteArray reply = readAvailable(port);
    for (int round = 0; round < settleMs / SettleRoundMs; ++round) {
        port->waitForReadyRead(SettleRoundMs);
        reply += readAvailable(port);
        QThread::msleep(SettleRoundMs);
    }
    return reply;
}

QByteArray CommonCurrentUSBDevice::readAvailable(QSerialPort *port)
{
    QByteArray bytes = port->readAll();
    while (port->bytesAvailable() > 0)
        bytes += port->readAll();
    return bytes;
}

bool CommonCurrentUSBDevice::waitForHandShake()
{
    for (int attempt = 0; attempt < HandShakeAttempts; ++attempt) {
        // Emptied on the GUI thread when the port is pulled while an attempt waits.
        if (portName().isEmpty())
            return false;
        if (serialPort() && handShake())
            return true;
        QThread::msleep(HandShakeRetryPauseMs);
    }
    return false;
}

void CommonCurrentUSBDevice::readCalibration()
{
    for (int attempt = 0; attempt < CalibrationAttempts; ++attempt) {
        // Taken as received, without looking for the header: stray bytes fail the attempt.
        const QByteArray reply = writeAndRead(
            MeterProtocol::calibrationRequest(), ReplyTimeoutMs, CalibrationSettleMs);
        if (MeterProtocol::isCalibrationReply(reply)) {
            takeCalibration(MeterProtocol::calibrationValue(reply), "afterOpenInit");
            return;
        }
    }
}

void CommonCurrentUSBDevice::takeCalibration(quint16 value, const char *operation)
{
    m_currentCheckValue = value;
    qDebug() << operation << "校准参数" << value;
    emit currentCheckValueChanged(value);
}

void CommonCurrentUSBDevice::emitReply(const MeterProtocol::Reply &reply)
{
    switch (reply.type) {
    case MeterProtocol::Reply::Measurement:
        emit parameterChanged(reply.voltage, reply.current, reply.power);
        break;
    case MeterProtocol::Reply::Calibration:
        takeCalibration(reply.calibrationValue, "onSerialReadyRead");
        break;
    case MeterProtocol::Reply::ParameterSet:
        qDebug().noquote() << "onSerialReadyRead"
                           << "校准参数 返回" << MeterProtocol::hex(reply.frame);
        emit setParameterSuccessed();
        break;
    case MeterProtocol::Reply::CommandError:
        qDebug().noquote() << "onSerialReadyRead"
                           << "commandErrored" << MeterProtocol::hex(reply.frame);
        emit commandErrored();
        break;
    case MeterProtocol::Reply::Dropped:
        break;
    }
}

void CommonCurrentUSBDevice::startPoll()
{
    if (m_autoPoll)
        m_pollTimerId = startTimer(m_pollInterval, Qt::CoarseTimer);
}

void CommonCurrentUSBDevice::stopPoll()
{
    if (m_pollTimerId > 0) {
        killTimer(m_pollTimerId);
        m_pollTimerId = 0;
    }
}
