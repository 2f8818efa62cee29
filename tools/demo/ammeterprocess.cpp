// SPDX-License-Identifier: GPL-3.0-or-later
#include "ammeterprocess.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

// A program still there this long after SIGTERM is hung, and is killed.
const int StopTimeoutMs = 5000;

} // namespace

AmmeterProcess::AmmeterProcess(QObject *parent)
    : QObject(parent)
{
    m_process.setProcessChannelMode(QProcess::ForwardedOutputChannel);
    connect(&m_process, &QProcess::readyReadStandardError, this, &AmmeterProcess::readLog);
    connect(&m_process, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), this,
        &AmmeterProcess::onFinished);
}

AmmeterProcess::~AmmeterProcess()
{
    // The finished signal must not reach receivers that are being torn down around us.
    disconnect(&m_process, nullptr, this, nullptr);
    stop();
}

bool AmmeterProcess::start(const QString &program)
{
    const QFileInfo file(program);
    if (!file.isFile() || !file.isExecutable()) {
        m_errorString = QStringLiteral("no program at %1").arg(program);
        return false;
    }
    m_lines.clear();
    m_partialLine.clear();
    m_process.start(file.absoluteFilePath(), QStringList());
    if (!m_process.waitForStarted()) {
        m_errorString = QStringLiteral("cannot start %1: %2").arg(program, m_process.errorString());
        return false;
    }
    return true;
}

void AmmeterProcess::stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    const qint64 stoppedPid = pid();
    m_process.terminate();
    if (!m_process.waitForFinished(StopTimeoutMs)) {
        m_process.kill();
        m_process.waitForFinished(StopTimeoutMs);
    }
    removeSerialPortLocks(stoppedPid);
}

// A program ended by a signal leaves QSerialPort's lock file of the port it had
// open in /var/lock. Harmless (the next opener sees that its process is gone),
// but they would pile up there, one for every run of a test.
void AmmeterProcess::removeSerialPortLocks(qint64 pid)
{
    QDir locks(QStringLiteral("/var/lock"));
    const QStringList names
        = locks.entryList({QStringLiteral("LCK..*")}, QDir::Files | QDir::NoDotAndDotDot);
    for (const QString &name : names) {
        QFile lock(locks.filePath(name));
        if (lock.open(QIODevice::ReadOnly) && lock.readLine().trimmed().toLongLong() == pid) {
            lock.close();
            lock.remove();
        }
    }
}

bool AmmeterProcess::isRunning() const
{
    return m_process.state() == QProcess::Running;
}

qint64 AmmeterProcess::pid() const
{
    return m_process.processId();
}

QStringList AmmeterProcess::logLinesContaining(const QString &text) const
{
    return m_lines.filter(text);
}

int AmmeterProcess::openFileCount() const
{
    return procEntryCount("fd");
}

int AmmeterProcess::threadCount() const
{
    return procEntryCount("task");
}

int AmmeterProcess::procEntryCount(const char *directory) const
{
    if (!isRunning())
        return -1;
    const QDir dir(QStringLiteral("/proc/%1/%2").arg(pid()).arg(QLatin1String(directory)));
    if (!dir.exists())
        return -1;
    return dir.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot).size();
}

void AmmeterProcess::readLog()
{
    m_partialLine += m_process.readAllStandardError();
    int end;
    while ((end = m_partialLine.indexOf('\n')) >= 0) {
        takeLine(m_partialLine.left(end));
        m_partialLine.remove(0, end + 1);
    }
}

void AmmeterProcess::takeLine(const QByteArray &line)
{
    const QString text = QString::fromUtf8(line);
    m_lines.append(text);
    emit logLine(text);
}

void AmmeterProcess::onFinished(int exitCode, QProcess::ExitStatus status)
{
    readLog();
    if (!m_partialLine.isEmpty())
        takeLine(m_partialLine);
    m_partialLine.clear();
    emit finished(exitCode, status);
}
