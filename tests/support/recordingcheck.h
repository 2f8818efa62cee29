// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef RECORDINGCHECK_H
#define RECORDINGCHECK_H

#include <QProcess>
#include <QStringList>

// tests/logger/check-recording.py on a recording, read by Python's csv and json modules as a
// user's script would read it: empty when it passes, else what is wrong. The recorder's summary
// goes to its standard input; without one, it checks none.
inline QString checkRecording(QStringList arguments, const QByteArray &summary = QByteArray())
{
    if (summary.isEmpty())
        arguments << QStringLiteral("--no-summary");
    QProcess python;
    python.start(QStringLiteral("python3"),
        QStringList(QStringLiteral(AMMETER_CHECK_RECORDING)) + arguments);
    python.write(summary);
    python.closeWriteChannel();
    if (!python.waitForFinished(30000))
        return QStringLiteral("python3 did not finish");
    return python.exitCode() == 0 ? QString() : QString::fromUtf8(python.readAllStandardError());
}

// Recordings are checked in a zone that is not UTC, so that a clock written in the wrong zone
// shows; a fixed rule (China's, UTC+8) needs no zone database. Before any clock is read.
inline void recordInChinaTime()
{
    qputenv("TZ", "CST-8");
}

#endif // RECORDINGCHECK_H
