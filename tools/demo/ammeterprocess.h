// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef AMMETERPROCESS_H
#define AMMETERPROCESS_H

#include <QByteArray>
#include <QObject>
#include <QProcess>
#include <QStringList>

// The real program, run as a child process the way a user starts it: no
// arguments, the environment inherited (and with it the emulated USB bus, when
// there is one). Its debug output, which Qt writes to stderr, is collected line
// by line; its standard output passes straight through.
class AmmeterProcess : public QObject
{
    Q_OBJECT

public:
    explicit AmmeterProcess(QObject *parent = nullptr);
    // Ends the program if it still runs.
    ~AmmeterProcess() override;

    // False, with errorString() saying why, when the program cannot be started.
    bool start(const QString &program);
    // Asks the program to end (SIGTERM), and kills it if it does not.
    void stop();

    bool isRunning() const;
    qint64 pid() const;
    QString errorString() const { return m_errorString; }

    QStringList logLines() const { return m_lines; }
    QStringList logLinesContaining(const QString &text) const;

    // Read from /proc while the program runs; -1 otherwise.
    int openFileCount() const;
    int threadCount() const;

signals:
    void logLine(const QString &line);
    // exitCode is meaningful only for a normal exit.
    void finished(int exitCode, QProcess::ExitStatus status);

private:
    void readLog();
    void takeLine(const QByteArray &line);
    void onFinished(int exitCode, QProcess::ExitStatus status);
    int procEntryCount(const char *directory) const;
    static void removeSerialPortLocks(qint64 pid);

    QProcess m_process;
    QByteArray m_partialLine;
    QStringList m_lines;
    QString m_errorString;
};

#endif // AMMETERPROCESS_H
