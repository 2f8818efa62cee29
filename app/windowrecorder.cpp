// SPDX-License-Identifier: GPL-3.0-or-later
#include "windowrecorder.h"

#include "runsummarycache.h"
#include "tornrow.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>

WindowRecorder::WindowRecorder(QObject *parent)
    : QObject(parent)
{ }

WindowRecorder::~WindowRecorder()
{
    stop();
}

bool WindowRecorder::start(
    const QString &folder, RecordWriter::Format format, const QStringList &meters)
{
    stop();
    m_errorMessage.clear();
    if (!QDir().mkpath(folder))
        return fail(tr("无法创建录制文件夹 %1").arg(QDir::toNativeSeparators(folder)));
    m_folder = folder;
    m_format = format;
    m_started = QDateTime::currentDateTime();
    m_clock.start();
    m_originNs = Measurement::monotonicNow();
    m_recording = true;
    // Started before any meter is there, the recording shows its file at once all the same
    // (and finds an unwritable folder at the click): the first meter to come takes it.
    for (const QString &meter : meters.isEmpty() ? QStringList {QString()} : meters) {
        if (!open(meter)) {
            m_recording = false;
            m_files.clear();
            return false;
        }
    }
    emit started();
    return true;
}

void WindowRecorder::stop(const QString &why)
{
    if (!isRecording())
        return;
    for (const auto &entry : m_files) {
        noteIn(entry.second.get(), RunEvent::Stopped, why);
        entry.second->events.close();
        leaveSummary(entry.second->writer);
    }
    m_recording = false;
    m_files.clear();
    emit stopped();
}

// A week's summary is some 15 MB: it is written on a thread of its own, never holding up the
// window.
void WindowRecorder::leaveSummary(RecordWriter &writer)
{
    const QString fileName = writer.fileName();
    auto summary = std::make_shared<RunSummary>();
    writer.close(summary.get());
    m_summaryWriters.start(
        [fileName, summary] { RunSummaryCache::saveSidecar(QFileInfo(fileName), *summary); });
}

QString WindowRecorder::filePath() const
{
    const File *first = nullptr;
    for (const auto &entry : m_files) {
        if (!first || entry.second->order < first->order)
            first = entry.second.get();
    }
    return first ? first->writer.fileName() : QString();
}

qint64 WindowRecorder::rows() const
{
    qint64 rows = 0;
    for (const auto &entry : m_files)
        rows += entry.second->totals.count();
    return rows;
}

// The same choice stored again (any setting's change reapplies them all) keeps the holds begun.
void WindowRecorder::setStopCondition(const StopCondition &condition)
{
    if (condition.kind() == m_condition.kind() && condition.threshold() == m_condition.threshold()
        && condition.holdSeconds() == m_condition.holdSeconds())
        return;
    m_condition = condition;
    for (const auto &entry : m_files)
        entry.second->condition = condition;
}

// The details go in ammeter-log's words ("user", "stop condition", "voltage below 3.5 V (3.49 V)"),
// so a file reads the same whoever wrote it and in whatever language; playback translates the
// events' kinds, and a user's note is kept as typed.
void WindowRecorder::note(RunEvent::Kind kind, const QString &text)
{
    for (const auto &entry : m_files)
        noteIn(entry.second.get(), kind, text);
}

void WindowRecorder::noteFor(const QString &meter, RunEvent::Kind kind)
{
    const auto known = m_files.find(meter);
    if (known != m_files.end())
        noteIn(known->second.get(), kind, QString());
}

void WindowRecorder::noteIn(File *file, RunEvent::Kind kind, const QString &text)
{
    if (isRecording() && file->events.isOpen())
        file->events.write(kind, m_clock.nsecsElapsed() / 1e9, text);
}

qint64 WindowRecorder::elapsedSeconds() const
{
    return isRecording() ? m_clock.elapsed() / 1000 : 0;
}

void WindowRecorder::add(const QString &meter, const Measurement &measurement, const RunTotals &run)
{
    // A measurement taken before the start, which a busy window hands over late, is not part of
    // the recording.
    if (!isRecording() || measurement.monotonicNs < m_originNs)
        return;
    File *file = fileFor(meter);
    if (!file) {
        stop(QStringLiteral("output error"));
        emit failed(m_errorMessage);
        return;
    }
    Measurement row = measurement;
    row.elapsedSeconds = row.secondsSince(m_originNs);
    file->totals.take(run);
    if (!file->writer.write(
            row, file->totals.chargeMilliampereHours(), file->totals.energyMilliwattHours())) {
        const QString path = QDir::toNativeSeparators(file->writer.fileName());
        const QString fileName = file->writer.fileName();
        const QString reason = file->writer.reason();
        stop(QStringLiteral("output error"));
        // A full disk takes part of the row it refused: the rows before stay a whole file.
        QString ignored;
        TornRow::cut(fileName, &ignored);
        fail(tr("无法写入录制文件 %1：%2").arg(path, reason));
        emit failed(m_errorMessage);
        return;
    }
    emit rowWritten();
    // Each meter's file holds its own condition, on that meter's values and totals; the first to
    // hold ends the whole recording, so that the files of one run end together.
    if (file->condition.reached(
            row, file->totals.chargeMilliampereHours(), file->totals.energyMilliwattHours())) {
        noteIn(file, RunEvent::ConditionReached, file->condition.outcome());
        // The notice tells the value of the meter that ended it.
        m_condition = file->condition;
        stop(QStringLiteral("stop condition"));
        emit conditionReached(row.elapsedSeconds);
    }
}

WindowRecorder::File *WindowRecorder::fileFor(const QString &meter)
{
    const auto known = m_files.find(meter);
    if (known != m_files.end())
        return known->second.get();
    auto waiting = m_files.find(QString());
    if (waiting != m_files.end()) {
        File *file = waiting->second.get();
        m_files[meter] = std::move(waiting->second);
        m_files.erase(QString());
        return file;
    }
    return open(meter);
}

WindowRecorder::File *WindowRecorder::open(const QString &meter)
{
    auto file = std::make_unique<File>();
    file->order = qint64(m_files.size());
    file->condition = m_condition;
    if (!openFreeFile(file.get(), meter)) {
        file->writer.close();
        fail(tr("无法写入录制文件 %1：%2")
                 .arg(QDir::toNativeSeparators(file->writer.fileName()), file->writer.reason()));
        return nullptr;
    }
    // The events only annotate the rows: a recording without them still goes on.
    if (!file->events.open(file->writer.fileName()))
        qDebug() << "WindowRecorder"
                 << "open" << file->events.errorString();
    noteIn(file.get(), RunEvent::Started, QString());
    File *opened = file.get();
    m_files[meter] = std::move(file);
    return opened;
}

// "ammeter-20261208-101500-MTRA0001.csv". The meter is named even when it is the only one, which
// the window's recordings never did: another may join at any moment, and one run's files name
// their meters alike. A second recording started within the same second, by this window, another
// or ammeter-log, gets "-2", "-3", ...: each name is taken by creating the file, never by looking
// first, so no two recorders can both find one free and one truncate the other's.
bool WindowRecorder::openFreeFile(File *file, const QString &meter)
{
    QString stem = m_folder + QStringLiteral("/ammeter-")
        + m_started.toString(QStringLiteral("yyyyMMdd-HHmmss"));
    if (!meter.isEmpty())
        stem += QLatin1Char('-') + QString(meter).replace(QLatin1Char('/'), QLatin1Char('_'));
    const QString suffix
        = m_format == RecordWriter::Jsonl ? QStringLiteral(".jsonl") : QStringLiteral(".csv");
    QString fileName = stem + suffix;
    for (int n = 2; !file->writer.openNew(fileName, m_format); ++n) {
        if (!QFileInfo::exists(fileName))
            return false;
        fileName = stem + QLatin1Char('-') + QString::number(n) + suffix;
    }
    return true;
}

bool WindowRecorder::fail(const QString &message)
{
    m_errorMessage = message;
    return false;
}
