// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef WINDOWRECORDER_H
#define WINDOWRECORDER_H

#include "eventlog.h"
#include "recordwriter.h"
#include "runstretch.h"
#include "stopcondition.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QObject>
#include <QThreadPool>

#include <map>
#include <memory>

// The window's recording: a file per meter in the recordings folder, named after the start and
// the meter, a row written and flushed for each measurement as it arrives. One clock runs from
// the start for every file, so that the files line up, and the rows of a meter pulled out and
// plugged back in show the gap in their elapsed column. What happens meanwhile goes into the
// events file beside each, and an armed stop condition ends the recording by itself.
class WindowRecorder : public QObject
{
    Q_OBJECT

public:
    explicit WindowRecorder(QObject *parent = nullptr);
    ~WindowRecorder() override;

    // A file for each meter given; with none, one file for the first meter to come. False,
    // with errorMessage() naming the path in the current language, when the folder cannot be
    // made or a file cannot be written.
    bool start(const QString &folder, RecordWriter::Format format,
        const QStringList &meters = QStringList());
    // why goes into the events files: "user" for the Stop button.
    void stop(const QString &why = QStringLiteral("user"));
    // Armed from now on, for the running recording too, on each meter's file on its own.
    void setStopCondition(const StopCondition &condition);
    const StopCondition &stopCondition() const { return m_condition; }
    // Into every meter's events file at this moment of the recording; nothing without one.
    void note(RunEvent::Kind kind, const QString &text = QString());
    // Into that meter's events file only; nothing when it has none yet.
    void noteFor(const QString &meter, RunEvent::Kind kind);

    // The recordings' summaries, which go beside them after a stop, are all written.
    void waitForSummaries() { m_summaryWriters.waitForDone(); }

    bool isRecording() const { return m_recording; }
    // The first file.
    QString filePath() const;
    // Rows written, over every file.
    qint64 rows() const;
    qint64 elapsedSeconds() const;
    QString errorMessage() const { return m_errorMessage; }

    // A meter that has no file yet gets one. A failure stops the recording; the rows written
    // so far stay. run is the meter's whole run, which the measurement was added to: the file's
    // charge and energy are its stretch of it.
    void add(const QString &meter, const Measurement &measurement, const RunTotals &run);

signals:
    void started();
    void stopped();
    void rowWritten();
    void failed(const QString &message);
    // The stop condition held and the recording has stopped; condition() has its value.
    void conditionReached(double elapsedSeconds);

private:
    struct File
    {
        RecordWriter writer;
        EventLog events;
        StopCondition condition;
        RunStretch totals;
        qint64 order = 0;
    };

    File *fileFor(const QString &meter);
    File *open(const QString &meter);
    bool openFreeFile(File *file, const QString &meter);
    void noteIn(File *file, RunEvent::Kind kind, const QString &text);
    bool fail(const QString &message);
    void leaveSummary(RecordWriter &writer);

    std::map<QString, std::unique_ptr<File>> m_files;
    QString m_folder;
    RecordWriter::Format m_format = RecordWriter::Csv;
    QDateTime m_started;
    StopCondition m_condition;
    QElapsedTimer m_clock;
    // When the recording started, on the measurements' monotonic clock: the elapsed column's 0.
    qint64 m_originNs = 0;
    QString m_errorMessage;
    bool m_recording = false;
    QThreadPool m_summaryWriters;
};

#endif // WINDOWRECORDER_H
