// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef EVENTLOG_H
#define EVENTLOG_H

#include "runevent.h"

#include <QFile>

// A recording's events in a small CSV file of their own beside it ("run.csv.events"), so the
// recording stays a plain CSV any spreadsheet reads. Written and flushed line by line like the
// rows: a killed recorder loses at most the line it was writing.
class EventLog
{
public:
    static QString header();
    static QString fileNameFor(const QString &recordingFileName);

    // False, with errorString() saying why, when the file cannot be written.
    bool open(const QString &recordingFileName, bool append = false);
    bool isOpen() const { return m_file.isOpen(); }
    // Stamped now; elapsedSeconds on the recording's own clock.
    bool write(RunEvent::Kind kind, double elapsedSeconds, const QString &text = QString());
    bool write(const RunEvent &event);
    void close() { m_file.close(); }
    QString errorString() const { return m_errorString; }

    // The events of a recording, in file order; none when it has no events file. Lines that are
    // not events (a torn last line among them) are passed over: the events only annotate.
    static RunEvents read(const QString &recordingFileName);

private:
    bool writeLine(const QByteArray &line);

    QFile m_file;
    QString m_errorString;
};

#endif // EVENTLOG_H
