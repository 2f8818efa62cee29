// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef RECORDWRITER_H
#define RECORDWRITER_H

#include "measurement.h"
#include "runsummary.h"

#include <QElapsedTimer>
#include <QFile>
#include <QString>

#include <memory>

class SummaryPiece;

// Writes the recording, one line per measurement, each flushed as it is
// written: a reader at the other end of a pipe or of tail -f sees it at once,
// and a killed recorder loses at most the line it was writing. Every few seconds
// the file is synced to the disk too, so a power cut costs no more than those. A new file's
// summary is kept as it is written, and left beside it when it is closed, so that however long
// the recording it opens at once.
class RecordWriter
{
public:
    RecordWriter();
    ~RecordWriter();

    enum Format { Csv, Jsonl };

    static QString csvHeader();

    // An empty file name writes to standard output. Without append an existing
    // file is overwritten; with it, a CSV file must already be a recording.
    // False, with errorString() saying why, when the output cannot be written.
    bool open(const QString &fileName, Format format, bool append = false);
    // Only a file that does not exist yet, made in the same step that checks it, so that two
    // recorders starting at once never share one. False also when the name is taken.
    bool openNew(const QString &fileName, Format format);
    bool write(const Measurement &measurement, double chargeMah, double energyMwh);
    // One measurement's line as write() puts it, without the line break; a
    // JSON line is also what goes to an MQTT broker.
    static QByteArray line(
        Format format, const Measurement &measurement, double chargeMah, double energyMwh);
    // JSON lines then begin with the meter's name, for several meters on one output.
    void setMeter(const QString &meter);
    // The summary goes beside the file (RunSummaryCache::saveSidecar), or to `summary` for the
    // caller to write where waiting for a disk does no harm.
    void close(RunSummary *summary = nullptr);
    bool isOpen() const { return m_file.isOpen(); }
    QString fileName() const { return m_file.fileName(); }
    QString errorString() const { return m_errorString; }
    // The system's own words for the last failure, without the file's name.
    QString reason() const { return m_reason; }

private:
    bool openFile(const QString &fileName, bool append);
    bool fail(const QString &why);
    bool writeLine(const QByteArray &line);
    bool begin(Format format);

    Format m_format = Csv;
    // Null for standard output and a file appended to, whose earlier rows it never saw.
    std::unique_ptr<SummaryPiece> m_summary;
    QByteArray m_meterField;
    QFile m_file;
    QElapsedTimer m_sinceSync;
    QString m_errorString;
    QString m_reason;
};

#endif // RECORDWRITER_H
