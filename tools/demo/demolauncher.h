// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef DEMOLAUNCHER_H
#define DEMOLAUNCHER_H

#include "ammeterprocess.h"
#include "demooptions.h"

#include <QObject>
#include <QTimer>

class MeterBench;
class SimulatedMeter;

// Runs the program with a simulated meter: starts it, plugs the meter in one
// second later, replugs it and quits when asked to, and says on standard output,
// one line each, what it does and what it sees the program do with the meter's
// port. Problems, and the program's own debug output, go to standard error.
class DemoLauncher : public QObject
{
    Q_OBJECT

public:
    DemoLauncher(MeterBench &bench, const DemoOptions &options, QObject *parent = nullptr);

    // False when the program cannot be started; the reason has been printed.
    bool start();

private:
    void plugMeter();
    void unplugMeter();
    void replug();
    void watchLine();
    void finish();
    bool saveScreenshot();
    void onProgramFinished(int exitCode, QProcess::ExitStatus status);
    static void report(const QString &line);
    static void complain(const QString &problem);

    const DemoOptions m_options;
    SimulatedMeter *m_meter;
    AmmeterProcess m_program;
    QTimer m_replugTimer;
    QTimer m_lineWatch;
    bool m_lineWasOpen = false;
    bool m_ending = false;
    int m_exitCode = 0;
};

#endif // DEMOLAUNCHER_H
