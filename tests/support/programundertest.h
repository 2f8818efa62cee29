// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PROGRAMUNDERTEST_H
#define PROGRAMUNDERTEST_H

#include "ammeterprocess.h"
#include "temporaryappdir.h"

#include <QTest>

// The real ammeter executable of this build, run as a child process from a
// throw-away copy, since it keeps Settings.ini beside itself.
class ProgramUnderTest
{
public:
    // A failure comes with what the program said, so that the next flake explains itself.
    ~ProgramUnderTest()
    {
        if (QTest::currentTestFailed())
            qInfo("the program said:\n%s", qPrintable(m_process.logLines().join('\n')));
    }

    bool start()
    {
        if (m_dir.isValid() && m_process.start(m_dir.executable()))
            return true;
        m_errorString = m_dir.isValid()
            ? m_process.errorString()
            : QStringLiteral("cannot copy %1").arg(QStringLiteral(AMMETER_PROGRAM));
        return false;
    }

    QString errorString() const { return m_errorString; }
    AmmeterProcess &process() { return m_process; }
    AmmeterProcess *operator->() { return &m_process; }

private:
    TemporaryAppDir m_dir {QStringLiteral(AMMETER_PROGRAM)};
    AmmeterProcess m_process;
    QString m_errorString;
};

// Test processes run side by side, each with an emulated USB bus of its own, but
// QSerialPort locks ports by name in the one real /var/lock: a range of ttyACM
// numbers for each process keeps their programs from locking each other out.
inline int firstTtyNumberOfThisProcess()
{
    return 100 + int(QCoreApplication::applicationPid() % 10000) * 100;
}

#endif // PROGRAMUNDERTEST_H
