// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef WINDOWRECORDER_H
#define WINDOWRECORDER_H

#include "eventlog.h"
#include "recordwriter.h"
#include "runtotals.h"
#include "stopcondition.h"

#include <QElapsedTimer>
#include <QObject>

// The window's recording: one file in the recordings folder, a row written
// and flushed for each measurement as it arrives. Its clock runs from the
// start, so that the rows of a meter pulled out and plugged back in show the
// gap in their elapsed column. What happens meanwhile goes into the events file
// beside it, and an armed stop condition ends it by itself.
class WindowRecorder : public QObject
{
    Q_OBJECT

public:
    explicit WindowRecorder(QObject *parent = nullptr);
    ~WindowRecorder() override;

    // False, with errorMessage() naming the path in the current language, when
    // the folder cannot be made or the file cannot be written.
    bool start(const QString &folder, RecordWriter::Format format);
    // why goes into the events file: "user" for the Stop button.
    void stop(const QString &why = QStringLiteral("user"));
    // Armed from now on, for the running recording too.
    void setStopCondition(const StopCondition &condition);
    const StopCondition &stopCondition() const { return m_condition; }
    // Into the events file at this moment of the recording; nothing without one.
    void note(RunEvent::Kind kind, const QString &text = QString());

    bool isRecording() const { return m_writer.isOpen(); }
    QString filePath() const { return m_writer.fileName(); }
    qint64 rows() const { return m_totals.count(); }
    qint64 elapsedSeconds() const;
    QString errorMessage() const { return m_errorMessage; }

    // A failure stops the recording; the rows written so far stay.
    void add(const Measurement &measurement);

signals:
    void started();
    void stopped();
    void rowWritten();
    void failed(const QString &message);
    // The stop condition held and the recording has stopped; condition() has its value.
    void conditionReached(double elapsedSeconds);

private:
    bool openFreeFile(const QString &folder, const QString &suffix, RecordWriter::Format format);
    bool fail(const QString &message);

    RecordWriter m_writer;
    EventLog m_events;
    StopCondition m_condition;
    RunTotals m_totals;
    QElapsedTimer m_clock;
    // When the recording started, on the measurements' monotonic clock: the elapsed column's 0.
    qint64 m_originNs = 0;
    QString m_errorMessage;
};

#endif // WINDOWRECORDER_H
