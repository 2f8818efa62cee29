// SPDX-License-Identifier: GPL-3.0-or-later
#include "windowrecorder.h"

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
    // Started before any meter is there, the recording shows its file at once all the same
    // (and finds an unwritable folder at the click): the first meter to come takes it.
    for (const QString &meter : meters.isEmpty() ? QStringList {QString()} : meters) {
        if (!open(meter)) {
            m_files.clear();
            return false;
        }
    }
    m_clock.start();
    m_recording = true;
    emit started();
    return true;
}

void WindowRecorder::stop()
{
    if (!isRecording())
        return;
    m_recording = false;
    m_files.clear();
    emit stopped();
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

qint64 WindowRecorder::elapsedSeconds() const
{
    return isRecording() ? m_clock.elapsed() / 1000 : 0;
}

void WindowRecorder::add(const QString &meter, const Measurement &measurement)
{
    if (!isRecording())
        return;
    File *file = fileFor(meter);
    if (!file) {
        stop();
        emit failed(m_errorMessage);
        return;
    }
    Measurement row = measurement;
    row.elapsedSeconds = m_clock.nsecsElapsed() / 1e9;
    file->totals.add(row);
    if (!file->writer.write(
            row, file->totals.chargeMilliampereHours(), file->totals.energyMilliwattHours())) {
        const QString path = QDir::toNativeSeparators(file->writer.fileName());
        const QString reason = file->writer.reason();
        stop();
        fail(tr("无法写入录制文件 %1：%2").arg(path, reason));
        emit failed(m_errorMessage);
        return;
    }
    emit rowWritten();
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
    const QString fileName = freeFileName(meter);
    if (!file->writer.open(fileName, m_format)) {
        fail(tr("无法写入录制文件 %1：%2")
                 .arg(QDir::toNativeSeparators(fileName), file->writer.reason()));
        return nullptr;
    }
    File *opened = file.get();
    m_files[meter] = std::move(file);
    return opened;
}

// "ammeter-20261208-101500-MTRA0001.csv"; a second recording started within the same second
// gets "-2", "-3", ... The meter is named even when it is the only one, which the window's
// recordings never did: another may join at any moment, and one run's files name their meters
// alike.
QString WindowRecorder::freeFileName(const QString &meter) const
{
    QString stem = m_folder + QStringLiteral("/ammeter-")
        + m_started.toString(QStringLiteral("yyyyMMdd-HHmmss"));
    if (!meter.isEmpty())
        stem += QLatin1Char('-') + QString(meter).replace(QLatin1Char('/'), QLatin1Char('_'));
    const QString suffix
        = m_format == RecordWriter::Jsonl ? QStringLiteral(".jsonl") : QStringLiteral(".csv");
    QString fileName = stem + suffix;
    for (int n = 2; QFileInfo::exists(fileName); ++n)
        fileName = stem + QLatin1Char('-') + QString::number(n) + suffix;
    return fileName;
}

bool WindowRecorder::fail(const QString &message)
{
    m_errorMessage = message;
    return false;
}
