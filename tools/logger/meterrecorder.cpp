// SPDX-License-Identifier: GPL-3.0-or-later
#include "meterrecorder.h"

#include "commoncurrentusbdevice.h"
#include "console.h"
#include "eventlog.h"
#include "exitstatus.h"
#include "meterpublisher.h"
#include "meterset.h"
#include "recordwriter.h"
#include "runplot.h"
#include "usbserialportmonitor.h"

namespace {

// The monitor names ports as "ttyACM0", a user as "/dev/ttyACM0".
QString systemLocation(const QString &portName)
{
    return portName.startsWith(QLatin1Char('/')) ? portName : QStringLiteral("/dev/") + portName;
}

QString now()
{
    return QDateTime::currentDateTime().toString(Qt::ISODate);
}

} // namespace

MeterRecorder::MeterRecorder(const LoggerOptions &options, RecordWriter &writer, RunPlot *plot,
    EventLog *events, QObject *parent)
    : QObject(parent)
    , m_options(options)
    , m_writer(writer)
    , m_plot(plot)
    , m_events(events)
    , m_stopConditions(options.stopConditions)
{
    m_waitTimer.setSingleShot(true);
    m_durationTimer.setSingleShot(true);
    // A coarse timer may be 5 % late: half a minute on a ten-minute run.
    m_durationTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_waitTimer, &QTimer::timeout, this, &MeterRecorder::onWaitOver);
    connect(&m_durationTimer, &QTimer::timeout, this, &MeterRecorder::onDurationTimeout);
}

MeterRecorder::~MeterRecorder()
{
    // The device's last close reports it offline on the way out; that is no unplug.
    if (m_device)
        m_device->disconnect(this);
}

void MeterRecorder::start()
{
    if (!m_options.serial.isEmpty()) {
        followSerial();
    } else {
        adopt(new CommonCurrentUSBDevice(this));
        if (m_options.port.isEmpty())
            m_device->startMonitor();
        else
            followPort();
    }
    if (m_options.waitMs > 0)
        m_waitTimer.start(int(m_options.waitMs));
}

void MeterRecorder::follow(CommonCurrentUSBDevice *device, const QString &meter, RunClock *clock)
{
    m_meter = meter;
    m_clock = clock;
    adopt(device);
}

void MeterRecorder::adopt(CommonCurrentUSBDevice *device)
{
    m_device = device;
    connect(m_device, &CommonCurrentUSBDevice::deviceOnline, this, &MeterRecorder::onDeviceOnline);
    connect(
        m_device, &CommonCurrentUSBDevice::deviceOffline, this, &MeterRecorder::onDeviceOffline);
    connect(m_device, &CommonCurrentUSBDevice::measured, this, &MeterRecorder::onMeasured);
    connect(m_device, &CommonCurrentUSBDevice::deviceNotResponding, this,
        &MeterRecorder::onDeviceNotResponding);
    connect(m_device, &CommonCurrentUSBDevice::deviceResponding, this,
        &MeterRecorder::onDeviceResponding);
    connect(m_device, &USBSerialDevice::openFailed, this, &MeterRecorder::onOpenFailed);
}

// Only that meter's device exists: the others plugged in beside it are never opened.
void MeterRecorder::followSerial()
{
    auto *meters = new MeterSet(m_options.serial, this);
    connect(meters, &MeterSet::meterAdded, this,
        [this](const QString &, CommonCurrentUSBDevice *device) { adopt(device); });
    meters->start();
}

void MeterRecorder::publishTo(MeterPublisher &publisher)
{
    connect(this, &MeterRecorder::meterOnline, &publisher, &MeterPublisher::meterOnline);
    connect(this, &MeterRecorder::meterOffline, &publisher, &MeterPublisher::meterOffline);
    connect(this, &MeterRecorder::recorded, &publisher,
        [&publisher](const Measurement &measurement, double chargeMah, double energyMwh) {
            publisher.publish(
                RecordWriter::line(RecordWriter::Jsonl, measurement, chargeMah, energyMwh));
        });
    connect(&publisher, &MeterPublisher::said, &Console::say);
}

QString MeterRecorder::meterWords() const
{
    return m_meter.isEmpty() ? QStringLiteral("meter") : QStringLiteral("meter ") + m_meter;
}

// The given port is opened at once, whatever it is; if the USB monitor knows it,
// it is also closed and opened again as it is unplugged and plugged back in.
void MeterRecorder::followPort()
{
    const QString wanted = systemLocation(m_options.port);
    UsbSerialPortMonitor *monitor = UsbSerialPortMonitor::instance();
    connect(
        monitor, &UsbSerialPortMonitor::serialFounded, this, [this, wanted](const QString &port) {
            if (systemLocation(port) == wanted)
                m_device->openPort(m_options.port);
        });
    connect(
        monitor, &UsbSerialPortMonitor::serialRemoved, this, [this, wanted](const QString &port) {
            if (systemLocation(port) == wanted)
                m_device->closePort();
        });
    m_device->openPort(m_options.port);
}

void MeterRecorder::finish(int exitStatus, const QString &why)
{
    if (m_finished)
        return;
    m_finished = true;
    note(RunEvent::Stopped, why);
    m_waitTimer.stop();
    m_durationTimer.stop();
    emit finished(exitStatus);
}

void MeterRecorder::onDeviceOnline()
{
    m_waitTimer.stop();
    Console::say(QStringLiteral("%1 %2 on %3 at %4")
                     .arg(m_everOnline ? QStringLiteral("recording resumes with the")
                                       : QStringLiteral("recording from the"),
                         meterWords(), m_device->portName(), now()));
    if (m_everOnline)
        note(RunEvent::Plugged, m_device->portName());
    m_online = true;
    m_everOnline = true;
    emit meterOnline(MeterSet::meterOf(m_device->portName()));
}

// Events only annotate the rows: one that cannot be written is told once, and the run goes on.
void MeterRecorder::note(RunEvent::Kind kind, const QString &text)
{
    if (!m_events || !m_events->isOpen())
        return;
    const double elapsed = m_clock->timer.isValid() ? m_clock->timer.nsecsElapsed() / 1e9 : 0;
    if (!m_events->write(kind, elapsed, text)) {
        Console::say(m_events->errorString());
        m_events->close();
    }
}

void MeterRecorder::onDeviceOffline()
{
    // A port closed before its meter answered was never recorded from.
    if (!m_online)
        return;
    m_online = false;
    emit meterOffline();
    note(RunEvent::Unplugged);
    if (m_options.exitOnUnplug) {
        Console::say(QStringLiteral("%1 unplugged at %2").arg(meterWords(), now()));
        finish(ExitStatus::Unplugged, QStringLiteral("unplugged"));
        return;
    }
    Console::say(QStringLiteral("%1 unplugged at %2; recording resumes when it returns")
                     .arg(meterWords(), now()));
}

// Nothing is written while the meter is silent: the recording shows a gap, not the last
// values over again.
void MeterRecorder::onDeviceNotResponding()
{
    note(RunEvent::Silent);
    Console::say(QStringLiteral("%1 not responding at %2; the recording has a gap until it "
                                "answers again")
                     .arg(meterWords(), now()));
}

void MeterRecorder::onDeviceResponding()
{
    note(RunEvent::Answering);
    Console::say(QStringLiteral("%1 answers again at %2").arg(meterWords(), now()));
}

void MeterRecorder::onOpenFailed(const QString &systemLocation, int error)
{
    switch (error) {
    case USBSerialDevice::PermissionDenied:
        Console::say(QStringLiteral("no permission for %1: install the udev rule "
                                    "70-ammeter.rules (see the README) or join the group "
                                    "dialout and log in again, then replug the meter")
                         .arg(systemLocation));
        break;
    case USBSerialDevice::PortBusy:
        Console::say(QStringLiteral("%1 is in use by another program: close it, then replug the "
                                    "meter")
                         .arg(systemLocation));
        break;
    default:
        Console::say(QStringLiteral("cannot open %1: replug the meter").arg(systemLocation));
        break;
    }
}

int MeterRecorder::droppedFrames() const
{
    return m_device ? m_device->droppedFrames() : 0;
}

// Each row carries the time its meter's worker read it, so a recorder held up (a slow disk, a
// slow broker) still writes when each measurement came.
void MeterRecorder::onMeasured(Measurement measurement)
{
    if (!m_online || m_finished)
        return;
    if (!m_recording) {
        m_recording = true;
        // A meter that joins a shared run late ends with the others, not --duration after: the
        // run's 0 is its first measurement from any meter.
        if (!m_clock->timer.isValid()) {
            m_clock->timer.start();
            m_clock->originNs = measurement.monotonicNs;
        }
        note(RunEvent::Started, m_device->portName());
        if (m_options.durationMs > 0)
            onDurationTimeout();
    }
    measurement.elapsedSeconds = measurement.secondsSince(m_clock->originNs);

    const bool gap = m_totals.add(measurement);
    if (m_plot)
        m_plot->add(measurement, gap);
    const double chargeMah = m_totals.chargeMilliampereHours();
    const double energyMwh = m_totals.energyMilliwattHours();
    // A recorder that only publishes has no file open.
    if (m_writer.isOpen() && !m_writer.write(measurement, chargeMah, energyMwh)) {
        Console::say(m_writer.errorString());
        finish(ExitStatus::OutputError, QStringLiteral("output error"));
        return;
    }
    emit recorded(measurement, chargeMah, energyMwh);
    if (exceedsLimit(measurement))
        finish(ExitStatus::LimitExceeded, QStringLiteral("limit"));
    else if (reachesStopCondition(measurement))
        finish(ExitStatus::Ok, QStringLiteral("stop condition"));
    else if (m_options.count > 0 && m_totals.count() >= m_options.count)
        finish(ExitStatus::Ok, QStringLiteral("count"));
}

bool MeterRecorder::reachesStopCondition(const Measurement &measurement)
{
    for (StopCondition &condition : m_stopConditions) {
        if (condition.reached(
                measurement, m_totals.chargeMilliampereHours(), m_totals.energyMilliwattHours())) {
            m_stopSummary = condition.stopSummary(measurement.elapsedSeconds);
            note(RunEvent::ConditionReached, condition.outcome());
            return true;
        }
    }
    return false;
}

bool MeterRecorder::exceedsLimit(const Measurement &measurement)
{
    const struct
    {
        double value;
        double limit;
        const char *what;
        const char *unit;
    } checks[] = {
        {measurement.current, m_options.maxCurrent, "current", "A"},
        {measurement.power, m_options.maxPower, "power", "W"},
    };
    for (const auto &check : checks) {
        if (check.limit >= 0 && check.value > check.limit) {
            const QString crossed = QStringLiteral("the %1 of %2 %4 exceeds --max-%1 %3 %4")
                                        .arg(QLatin1String(check.what))
                                        .arg(check.value, 0, 'f', 6)
                                        .arg(check.limit)
                                        .arg(QLatin1String(check.unit));
            Console::say(QStringLiteral("at %1 %2")
                             .arg(measurement.time.toString(Qt::ISODateWithMs), crossed));
            note(RunEvent::LimitCrossed, crossed);
            return true;
        }
    }
    return false;
}

// A timer reaches some 24 days at most; a longer run takes it in laps.
void MeterRecorder::onDurationTimeout()
{
    const qint64 left = m_options.durationMs - m_clock->timer.elapsed();
    if (left <= 0)
        finish(ExitStatus::Ok, QStringLiteral("duration"));
    else
        m_durationTimer.start(int(qMin<qint64>(left, INT_MAX)));
}

void MeterRecorder::onWaitOver()
{
    const double seconds = m_options.waitMs / 1000.0;
    if (!m_device || m_device->portName().isEmpty())
        Console::say(QStringLiteral("no meter found within %1 s").arg(seconds));
    else
        Console::say(QStringLiteral("no meter answered on %1 within %2 s")
                         .arg(m_device->portName())
                         .arg(seconds));
    finish(ExitStatus::NoMeter, QStringLiteral("no meter"));
}
