// SPDX-License-Identifier: GPL-3.0-or-later
#include "commoncurrentusbdevice.h"

#include "meterprotocol.h"

#include <QDebug>
#include <QSerialPort>
#include <QSerialPortInfo>
#include <QThread>
#include <QTimer>

namespace {

const int HandShakeAttempts = 5;
const int HandShakeRetryPauseMs = 500;
const int CalibrationAttempts = 5;

const int ReplyTimeoutMs = 500;
// A meter takes six bytes at 115200 baud in well under a millisecond; a write still pending
// after this is stuck, and a close must not wait on it.
const int WriteTimeoutMs = 200;
// How long a blocking step of the open-time sequence may run before it looks whether the
// port was pulled or the program is ending, so that neither waits out a whole handshake.
const int StopCheckMs = 20;
// After the first bytes of a reply, the rest may still be on its way: these
// settle times, and the extra 50 ms rounds they buy, collect it.
const int HandShakeSettleMs = 100;
const int CalibrationSettleMs = 50;
const int SettleRoundMs = 50;

QString meterOf(const QString &portName)
{
    const QString serialNumber = QSerialPortInfo(portName).serialNumber().trimmed();
    return serialNumber.isEmpty() ? portName : serialNumber;
}

} // namespace

CommonCurrentUSBDevice::CommonCurrentUSBDevice(QObject *parent)
    : USBSerialDevice(parent)
    , m_currentCheckValue(0)
    , m_autoPoll(true)
    , m_pollInterval(100)
    , m_busy(false)
{
    qRegisterMetaType<Measurement>();
    m_clock.start();
    m_nowMs = [this] { return m_clock.elapsed(); };
}

CommonCurrentUSBDevice::~CommonCurrentUSBDevice()
{
    // The close that stopping the worker runs stops the poll there, with the port.
    m_tearingDown = true;
    stopWorker();
}

QString CommonCurrentUSBDevice::productName() const
{
    return meterProductName();
}

QString CommonCurrentUSBDevice::meterProductName()
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
        // Left open, the port would stay claimed by a meter that never answered, and no
        // plug event could try it again.
        if (!stopRequested())
            dropPort();
        return;
    }
    readCalibration();
    if (stopRequested())
        return;
    // The handshake's reply was a valid measurement: the silence is counted from here.
    m_lastMeasurementMs = m_nowMs();
    m_responding = true;
    m_received.clear();
    m_meter = meterOf(serialPort()->portName());
    startPoll();
    emit deviceOnline();
}

// Reads are cut into frames wherever they fall: a frame split over two reads, or two frames
// in one, are all decoded, and only a frame whose CRC matches is believed.
void CommonCurrentUSBDevice::onSerialReadyRead()
{
    QSerialPort *port = serialPort();
    if (!port)
        return;
    m_received += readAvailable(port);
    const MeterProtocol::Frames frames = MeterProtocol::takeFrames(m_received);
    if (frames.dropped > 0) {
        m_droppedFrames += frames.dropped;
        qDebug() << "onSerialReadyRead"
                 << "CRC mismatch, frames dropped:" << frames.dropped;
    }
    for (const MeterProtocol::Reply &reply : frames.replies)
        emitReply(reply);
}

void CommonCurrentUSBDevice::closeImpl()
{
    m_received.clear();
    emit deviceOffline();
    qDebug() << "CommonCurrentUSBDevice"
             << "closeImpl";
    emit parameterChanged(0, 0, 0);
    stopPoll();
    USBSerialDevice::closeImpl();
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

void CommonCurrentUSBDevice::poll()
{
    checkResponding();
    if (m_busy)
        return;
    // Fire and forget: the reply comes back through onSerialReadyRead().
    writeImpl(MeterProtocol::measurementRequest());
}

QByteArray CommonCurrentUSBDevice::writeAndRead(
    const QByteArray &bytes, int timeoutMs, int settleMs)
{
    QSerialPort *port = serialPort();
    if (!port)
        return QByteArray();
    port->write(bytes);
    port->waitForBytesWritten(WriteTimeoutMs);
    waitForReply(port, timeoutMs);
    pause(settleMs);
    QByteArray reply = readAvailable(port);
    for (int round = 0; round < settleMs / SettleRoundMs && !stopRequested(); ++round) {
        waitForReply(port, SettleRoundMs);
        reply += readAvailable(port);
        pause(SettleRoundMs);
    }
    return reply;
}

bool CommonCurrentUSBDevice::stopRequested() const
{
    // Emptied on the GUI thread when the port is pulled while an exchange waits.
    return m_tearingDown || portName().isEmpty();
}

void CommonCurrentUSBDevice::pause(int ms) const
{
    QElapsedTimer paused;
    paused.start();
    while (!stopRequested() && paused.elapsed() < ms)
        QThread::msleep(ulong(qMin<qint64>(StopCheckMs, ms - paused.elapsed())));
}

void CommonCurrentUSBDevice::waitForReply(QSerialPort *port, int timeoutMs) const
{
    QElapsedTimer waited;
    waited.start();
    while (!stopRequested() && port->error() != QSerialPort::ResourceError) {
        const qint64 left = timeoutMs - waited.elapsed();
        if (left <= 0 || port->waitForReadyRead(int(qMin<qint64>(StopCheckMs, left))))
            return;
    }
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
        if (stopRequested())
            return false;
        if (serialPort() && handShake())
            return true;
        pause(HandShakeRetryPauseMs);
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
    case MeterProtocol::Reply::Measurement: {
        noteMeasurement();
        // Timed here, as the reply is decoded, not where a receiver gets round to it: the
        // displays were once the only receivers and timed nothing, but a recording that took the
        // time on the GUI thread would squeeze a stalled window's measurements into one instant.
        Measurement measurement;
        measurement.time = QDateTime::currentDateTime();
        measurement.monotonicNs = Measurement::monotonicNow();
        measurement.voltage = double(reply.voltage);
        measurement.current = double(reply.current);
        measurement.power = double(reply.power);
        measurement.meter = m_meter;
        emit measured(measurement);
        emit parameterChanged(reply.voltage, reply.current, reply.power);
        break;
    }
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

void CommonCurrentUSBDevice::noteMeasurement()
{
    m_lastMeasurementMs = m_nowMs();
    if (!m_responding) {
        m_responding = true;
        emit deviceResponding();
    }
}

// On the poll, which runs while the meter is online and stops with its port.
void CommonCurrentUSBDevice::checkResponding()
{
    if (portName().isEmpty())
        return;
    if (m_responding && m_nowMs() - m_lastMeasurementMs > NotRespondingMs) {
        m_responding = false;
        emit deviceNotResponding();
    }
}

// The poll timer lives on the worker thread, beside the port, and starts as soon as the meter
// answered, instead of on the GUI thread 50 ms later: there, every moment the window was busy
// (loading a file, drawing a day of history) held back the requests and left a hole in the
// recording.
void CommonCurrentUSBDevice::startPoll()
{
    if (!m_autoPoll || m_pollTimer)
        return;
    m_pollTimer = new QTimer(workerContext());
    m_pollTimer->setTimerType(Qt::CoarseTimer);
    m_pollTimer->setInterval(m_pollInterval);
    connect(m_pollTimer, &QTimer::timeout, workerContext(), [this] { poll(); });
    m_pollTimer->start();
}

void CommonCurrentUSBDevice::stopPoll()
{
    delete m_pollTimer;
    m_pollTimer = nullptr;
}
