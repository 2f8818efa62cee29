// SPDX-License-Identifier: GPL-3.0-or-later
#include "windowrecorder.h"

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

bool WindowRecorder::start(const QString &folder, RecordWriter::Format format)
{
    stop();
    m_errorMessage.clear();
    if (!QDir().mkpath(folder))
        return fail(tr("无法创建录制文件夹 %1").arg(QDir::toNativeSeparators(folder)));
    const QString suffix
        = format == RecordWriter::Jsonl ? QStringLiteral(".jsonl") : QStringLiteral(".csv");
    if (!openFreeFile(folder, suffix, format)) {
        m_writer.close();
        return fail(tr("无法写入录制文件 %1：%2")
                        .arg(QDir::toNativeSeparators(m_writer.fileName()), m_writer.reason()));
    }
    m_totals = RunTotals();
    m_clock.start();
    m_originNs = Measurement::monotonicNow();
    m_condition.restart();
    // The events only annotate the rows: a recording without them still goes on.
    if (!m_events.open(m_writer.fileName()))
        qDebug() << "WindowRecorder"
                 << "start" << m_events.errorString();
    note(RunEvent::Started);
    emit started();
    return true;
}

void WindowRecorder::stop(const QString &why)
{
    if (!isRecording())
        return;
    note(RunEvent::Stopped, why);
    m_events.close();
    m_writer.close();
    emit stopped();
}

// The same choice stored again (any setting's change reapplies them all) keeps the hold begun.
void WindowRecorder::setStopCondition(const StopCondition &condition)
{
    if (condition.kind() == m_condition.kind() && condition.threshold() == m_condition.threshold()
        && condition.holdSeconds() == m_condition.holdSeconds())
        return;
    m_condition = condition;
}

// The details go in ammeter-log's words ("user", "stop condition", "voltage below 3.5 V (3.49 V)"),
// so a file reads the same whoever wrote it and in whatever language; playback translates the
// events' kinds, and a user's note is kept as typed.
void WindowRecorder::note(RunEvent::Kind kind, const QString &text)
{
    if (isRecording() && m_events.isOpen())
        m_events.write(kind, m_clock.nsecsElapsed() / 1e9, text);
}

qint64 WindowRecorder::elapsedSeconds() const
{
    return isRecording() ? m_clock.elapsed() / 1000 : 0;
}

void WindowRecorder::add(const Measurement &measurement)
{
    // A measurement taken before the start, which a busy window hands over late, is not part of
    // the recording.
    if (!isRecording() || measurement.monotonicNs < m_originNs)
        return;
    Measurement row = measurement;
    row.elapsedSeconds = row.secondsSince(m_originNs);
    m_totals.add(row);
    if (!m_writer.write(row, m_totals.chargeMilliampereHours(), m_totals.energyMilliwattHours())) {
        const QString path = QDir::toNativeSeparators(m_writer.fileName());
        const QString fileName = m_writer.fileName();
        stop(QStringLiteral("output error"));
        // A full disk takes part of the row it refused: the rows before stay a whole file.
        QString ignored;
        TornRow::cut(fileName, &ignored);
        fail(tr("无法写入录制文件 %1：%2").arg(path, m_writer.reason()));
        emit failed(m_errorMessage);
        return;
    }
    emit rowWritten();
    if (m_condition.reached(
            row, m_totals.chargeMilliampereHours(), m_totals.energyMilliwattHours())) {
        note(RunEvent::ConditionReached, m_condition.outcome());
        stop(QStringLiteral("stop condition"));
        emit conditionReached(row.elapsedSeconds);
    }
}

// A second recording started within the same second, by this window, another or ammeter-log,
// gets "-2", "-3", ...: each name is taken by creating the file, never by looking first, so no
// two recorders can both find one free and one truncate the other's.
bool WindowRecorder::openFreeFile(
    const QString &folder, const QString &suffix, RecordWriter::Format format)
{
    const QString stem = folder + QStringLiteral("/ammeter-")
        + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString fileName = stem + suffix;
    for (int n = 2; !m_writer.openNew(fileName, format); ++n) {
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
