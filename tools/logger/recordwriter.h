// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef RECORDWRITER_H
#define RECORDWRITER_H

#include "loggeroptions.h"
#include "measurement.h"

#include <QFile>
#include <QString>

// Writes the recording, one line per measurement, each flushed as it is
// written: a reader at the other end of a pipe or of tail -f sees it at once,
// and a killed recorder loses at most the line it was writing.
class RecordWriter
{
public:
    static QString csvHeader();

    // False, with errorString() saying why, when the output cannot be written.
    bool open(const LoggerOptions &options);
    bool write(const Measurement &measurement, double chargeMah, double energyMwh);
    QString errorString() const { return m_errorString; }

private:
    bool openFile(const LoggerOptions &options);
    bool fail(const QString &why);
    bool writeLine(const QByteArray &line);

    LoggerOptions::Format m_format = LoggerOptions::Csv;
    QFile m_file;
    QString m_errorString;
};

#endif // RECORDWRITER_H
