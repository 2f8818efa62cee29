#ifndef PROGRAMUNDERTEST_H
#define PROGRAMUNDERTEST_H

#include "ammeterprocess.h"
#include "temporaryappdir.h"

#include <QCoreApplication>
#include <QString>

// The real ammeter executable of this build, run as a child process from a
// throw-away copy: it keeps Settings.ini beside itself, so running it from the
// build tree would leak one run's language into the next (and into other tests
// running at the same time).
class ProgramUnderTest
{
public:
    ProgramUnderTest()
        : m_dir(QStringLiteral(AMMETER_PROGRAM))
    { }

    bool start()
    {
        if (!m_dir.isValid()) {
            m_errorString = QStringLiteral("cannot copy %1 into a temporary directory")
                                .arg(QStringLiteral(AMMETER_PROGRAM));
            return false;
        }
        if (!m_process.start(m_dir.executable())) {
            m_errorString = m_process.errorString();
            return false;
        }
        return true;
    }

    QString errorString() const { return m_errorString; }
    AmmeterProcess &process() { return m_process; }
    AmmeterProcess *operator->() { return &m_process; }

private:
    TemporaryAppDir m_dir;
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
