// SPDX-License-Identifier: GPL-3.0-or-later
#include "fleetrecorder.h"

#include "commoncurrentusbdevice.h"
#include "console.h"
#include "eventlog.h"
#include "exitstatus.h"
#include "meterpublisher.h"
#include "meterrecorder.h"
#include "recordwriter.h"

#include <QDir>
#include <QFileInfo>

namespace {

// How long an ending recorder waits for the broker to take what each meter still holds.
const int PublishingEndMs = 5000;

} // namespace

FleetRecorder::FleetRecorder(
    const LoggerOptions &options, const RunPlot::Colors &colors, QObject *parent)
    : QObject(parent)
    , m_options(options)
    , m_colors(colors)
{
    m_waitTimer.setSingleShot(true);
    connect(&m_waitTimer, &QTimer::timeout, this, &FleetRecorder::onWaitOver);
    connect(&m_meters, &MeterSet::meterAdded, this, &FleetRecorder::onMeterAdded);
}

FleetRecorder::~FleetRecorder() = default;

QString FleetRecorder::fileFor(const QString &fileName, const QString &meter)
{
    if (fileName.isEmpty())
        return fileName;
    const QFileInfo file(fileName);
    QString name = meter;
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    const QString suffix = file.suffix().isEmpty() ? QString() : QLatin1Char('.') + file.suffix();
    const QString base = file.fileName().left(file.fileName().size() - suffix.size());
    return file.dir().filePath(base + QLatin1Char('-') + name + suffix);
}

void FleetRecorder::start()
{
    m_meters.start();
    if (m_options.waitMs > 0)
        m_waitTimer.start(int(m_options.waitMs));
}

void FleetRecorder::onMeterAdded(const QString &meter, CommonCurrentUSBDevice *device)
{
    if (m_finishing)
        return;
    Member &member = m_members[meter];
    member.writer = std::make_unique<RecordWriter>();
    if (!openWriter(*member.writer, meter)) {
        Console::say(member.writer->errorString());
        member.done = true;
        finish(ExitStatus::OutputError, QStringLiteral("output error"));
        return;
    }
    // Beside each meter's file, as beside the one meter's: none on standard output.
    member.events = std::make_unique<EventLog>();
    const QString fileName = fileFor(m_options.output, meter);
    if (!fileName.isEmpty() && !member.events->open(fileName, m_options.append)) {
        Console::say(member.events->errorString());
        member.done = true;
        finish(ExitStatus::OutputError, QStringLiteral("output error"));
        return;
    }
    if (!m_options.plot.isEmpty())
        member.plot = std::make_unique<RunPlot>(m_colors);
    member.recorder = std::make_unique<MeterRecorder>(
        m_options, *member.writer, member.plot.get(), member.events.get());
    connect(member.recorder.get(), &MeterRecorder::meterOnline, &m_waitTimer, &QTimer::stop);
    connect(member.recorder.get(), &MeterRecorder::finished, this,
        [this, &member](int exitStatus) { onMemberFinished(member, exitStatus); });
    if (m_options.publishes()) {
        member.publisher = std::make_unique<MeterPublisher>(m_options.mqtt);
        member.recorder->publishTo(*member.publisher);
    }
    member.recorder->follow(device, meter, &m_clock);
}

bool FleetRecorder::openWriter(RecordWriter &writer, const QString &meter)
{
    const QString fileName = fileFor(m_options.output, meter);
    // A recorder that only publishes has no file open.
    if (fileName.isEmpty() && m_options.publishes())
        return true;
    if (QFileInfo(fileName).isFile() && !m_options.append && !m_options.force) {
        Console::say(
            QStringLiteral("%1 exists; --append adds to it, --force overwrites it").arg(fileName));
        return false;
    }
    if (fileName.isEmpty())
        writer.setMeter(meter);
    return writer.open(fileName, m_options.format, m_options.append);
}

void FleetRecorder::onMemberFinished(Member &member, int exitStatus)
{
    member.done = true;
    // A meter at its count or duration leaves the others recording; any other end is the run's.
    if (exitStatus != ExitStatus::Ok) {
        finish(exitStatus, QStringLiteral("another meter's end"));
        return;
    }
    for (const auto &entry : m_members) {
        if (!entry.second.done)
            return;
    }
    finish(ExitStatus::Ok, QStringLiteral("every meter done"));
}

void FleetRecorder::finish(int exitStatus, const QString &why)
{
    if (m_finishing)
        return;
    m_finishing = true;
    m_status = exitStatus;
    m_waitTimer.stop();
    for (auto &entry : m_members) {
        if (entry.second.recorder)
            entry.second.recorder->finish(exitStatus, why);
    }
    endPublishing();
}

void FleetRecorder::endPublishing()
{
    for (auto &entry : m_members) {
        MeterPublisher *publisher = entry.second.publisher.get();
        if (!publisher)
            continue;
        ++m_publishing;
        connect(publisher, &MeterPublisher::finished, this, [this] {
            if (--m_publishing == 0)
                emit finished(m_status);
        });
        publisher->finish(PublishingEndMs);
    }
    if (m_publishing == 0)
        emit finished(m_status);
}

int FleetRecorder::report(int exitStatus)
{
    int status = exitStatus;
    for (const auto &entry : m_members) {
        const Member &member = entry.second;
        if (!member.recorder)
            continue;
        Console::say(QStringLiteral("meter %1:\n%2\nreplies dropped for a bad CRC: %3")
                         .arg(entry.first, member.recorder->totals().summary())
                         .arg(member.recorder->droppedFrames()));
        if (member.publisher)
            Console::say(member.publisher->summary());
        if (member.plot
            && !member.plot->save(
                fileFor(m_options.plot, entry.first), member.recorder->totals().summary())) {
            Console::say(member.plot->errorString());
            status = status == ExitStatus::Ok ? ExitStatus::OutputError : status;
        }
    }
    return status;
}

void FleetRecorder::onWaitOver()
{
    Console::say(QStringLiteral("no meter found within %1 s").arg(m_options.waitMs / 1000.0));
    finish(ExitStatus::NoMeter, QStringLiteral("no meter"));
}
