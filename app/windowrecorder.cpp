// SPDX-License-Identifier: GPL-3.0-or-later
#include "windowrecorder.h"

#include "tornrow.h"

#include <QDir>
#include <QFileInfo>

WindowRecorder::WindowRecorder(QObject *parent)
    : QObject(parent)
{ }

WindowRecorder::~WindowRecorder()
{
    stop();
}

bool WindowRecorder::start(const QString &folder, RecordWriter::Format format)
{
    stop();
    m_errorMessage.clear();
    if (!QDir().mkpath(folder))
        return fail(tr("无法创建录制文件夹 %1").arg(QDir::toNativeSeparators(folder)));
    const QString fileName = freeFileName(
        folder, format == RecordWriter::Jsonl ? QStringLiteral(".jsonl") : QStringLiteral(".csv"));
    if (!m_writer.open(fileName, format)) {
        m_writer.close();
        return fail(tr("无法写入录制文件 %1：%2")
                        .arg(QDir::toNativeSeparators(fileName), m_writer.reason()));
    }
    m_totals = RunTotals();
    m_clock.start();
    emit started();
    return true;
}

void WindowRecorder::stop()
{
    if (!isRecording())
        return;
    m_writer.close();
    emit stopped();
}

qint64 WindowRecorder::elapsedSeconds() const
{
    return isRecording() ? m_clock.elapsed() / 1000 : 0;
}

void WindowRecorder::add(const Measurement &measurement)
{
    if (!isRecording())
        return;
    Measurement row = measurement;
    row.elapsedSeconds = m_clock.nsecsElapsed() / 1e9;
    m_totals.add(row);
    if (!m_writer.write(row, m_totals.chargeMilliampereHours(), m_totals.energyMilliwattHours())) {
        const QString path = QDir::toNativeSeparators(m_writer.fileName());
        const QString fileName = m_writer.fileName();
        stop();
        // A full disk takes part of the row it refused: the rows before stay a whole file.
        QString ignored;
        TornRow::cut(fileName, &ignored);
        fail(tr("无法写入录制文件 %1：%2").arg(path, m_writer.reason()));
        emit failed(m_errorMessage);
        return;
    }
    emit rowWritten();
}

// A second recording started within the same second gets "-2", "-3", ...
QString WindowRecorder::freeFileName(const QString &folder, const QString &suffix)
{
    const QString stem = folder + QStringLiteral("/ammeter-")
        + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
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
