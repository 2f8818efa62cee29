// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PROCESSFIGURES_H
#define PROCESSFIGURES_H

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTimer>

#include <unistd.h>

// What a benchmark reads of a process it watches, from /proc, and how it lets
// time pass with its own event loop running.
namespace ProcessFigures {

constexpr double MB = 1024.0 * 1024.0;

inline void runFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// Runs the event loop for ms, or until the sender's signal comes first.
template<typename Sender, typename Signal>
void runFor(int ms, const Sender *sender, Signal signal)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    QObject::connect(sender, signal, &loop, &QEventLoop::quit);
    loop.exec();
}

inline double residentBytes(qint64 pid = QCoreApplication::applicationPid())
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() * 1024;
    return 0;
}

// utime and stime, fields 14 and 15 of /proc/<pid>/stat, counted after the
// command's closing parenthesis, which may itself hold spaces.
inline double cpuSeconds(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray text = stat.readAll();
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    return (fields.value(11).toDouble() + fields.value(12).toDouble()) / sysconf(_SC_CLK_TCK);
}

// The share of one core the process used while this one's event loop ran for ms, in per cent.
inline double cpuPercentOver(qint64 pid, int ms)
{
    QElapsedTimer wall;
    wall.start();
    const double before = cpuSeconds(pid);
    runFor(ms);
    return (cpuSeconds(pid) - before) / (wall.nsecsElapsed() / 1e9) * 100;
}

} // namespace ProcessFigures

#endif // PROCESSFIGURES_H
