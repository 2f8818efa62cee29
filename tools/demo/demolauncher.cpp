// SPDX-License-Identifier: GPL-3.0-or-later
#include "demolauncher.h"

#include "meterbench.h"
#include "simulatedmeter.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

#include <cstdio>

namespace {

// Time for the program to come up and start watching udev, so that the meter
// arrives as a hot-plug, the way a user plugs one in.
const int PlugDelayMs = 1000;
// Seeing the program open or close the port within this long is plenty for a person.
const int LineWatchMs = 50;

int milliseconds(double seconds)
{
    return int(seconds * 1000 + 0.5);
}

} // namespace

DemoLauncher::DemoLauncher(MeterBench &bench, const DemoOptions &options, QObject *parent)
    : QObject(parent)
    , m_options(options)
    , m_meter(bench.addMeter(options.serial))
{
    m_meter->setProfile(options.profile);
    connect(&m_program, &AmmeterProcess::logLine, this,
        [](const QString &line) { std::fprintf(stderr, "%s\n", qPrintable(line)); });
    connect(&m_program, &AmmeterProcess::finished, this, &DemoLauncher::onProgramFinished);
    m_replugTimer.setInterval(milliseconds(options.replugSeconds));
    connect(&m_replugTimer, &QTimer::timeout, this, &DemoLauncher::replug);
    m_lineWatch.setInterval(LineWatchMs);
    connect(&m_lineWatch, &QTimer::timeout, this, &DemoLauncher::watchLine);
}

bool DemoLauncher::start()
{
    if (!m_program.start(m_options.program)) {
        complain(m_program.errorString());
        return false;
    }
    report(QStringLiteral("started %1 (pid %2)").arg(m_options.program).arg(m_program.pid()));
    QTimer::singleShot(PlugDelayMs, this, &DemoLauncher::plugMeter);
    if (m_options.replugSeconds > 0)
        QTimer::singleShot(PlugDelayMs, &m_replugTimer, qOverload<>(&QTimer::start));
    if (m_options.seconds > 0)
        QTimer::singleShot(milliseconds(m_options.seconds), this, &DemoLauncher::finish);
    m_lineWatch.start();
    return true;
}

void DemoLauncher::plugMeter()
{
    if (m_ending)
        return;
    if (!m_meter->plug()) {
        complain(QStringLiteral("cannot plug the meter in: %1").arg(m_meter->errorString()));
        return;
    }
    m_lineWasOpen = false;
    report(QStringLiteral("plugged %1 %2:%3 serial %4")
               .arg(m_meter->portName())
               .arg(MeterBench::VendorId, 4, 16, QLatin1Char('0'))
               .arg(MeterBench::ProductId, 4, 16, QLatin1Char('0'))
               .arg(m_meter->serial()));
}

void DemoLauncher::unplugMeter()
{
    m_meter->unplug();
    const MeterSimulator *line = m_meter->line();
    report(QStringLiteral("unplugged %1 (it had %2 measurement and %3 calibration requests)")
               .arg(m_meter->portName())
               .arg(line->requestCount(MeterSimulator::MeasurementRequest))
               .arg(line->requestCount(MeterSimulator::CalibrationRequest)));
}

void DemoLauncher::replug()
{
    if (m_meter->isPlugged())
        unplugMeter();
    else
        plugMeter();
}

void DemoLauncher::watchLine()
{
    const MeterSimulator *line = m_meter->line();
    if (!line)
        return;
    const bool open = line->isLineOpen();
    if (open == m_lineWasOpen)
        return;
    m_lineWasOpen = open;
    report(QStringLiteral("the program %1 %2")
               .arg(open ? QStringLiteral("opened") : QStringLiteral("closed"))
               .arg(m_meter->portName()));
}

void DemoLauncher::finish()
{
    m_ending = true;
    m_replugTimer.stop();
    if (!m_options.screenshot.isEmpty() && !saveScreenshot())
        m_exitCode = 1;
    m_program.stop();
}

bool DemoLauncher::saveScreenshot()
{
    const QFileInfo file(m_options.screenshot);
    QScreen *screen = QGuiApplication::primaryScreen();
    const QPixmap shot = screen ? screen->grabWindow(0) : QPixmap();
    if (shot.isNull()) {
        complain(QStringLiteral("cannot take a screenshot: this display does not allow it"));
        return false;
    }
    if (!QDir().mkpath(file.absolutePath()) || !shot.save(file.absoluteFilePath(), "PNG")) {
        complain(QStringLiteral("cannot save the screenshot to %1").arg(file.absoluteFilePath()));
        return false;
    }
    report(QStringLiteral("screenshot saved to %1").arg(file.absoluteFilePath()));
    return true;
}

void DemoLauncher::onProgramFinished(int exitCode, QProcess::ExitStatus status)
{
    m_lineWatch.stop();
    if (m_ending) {
        report(QStringLiteral("program ended"));
    } else if (status == QProcess::NormalExit) {
        report(QStringLiteral("program exited %1").arg(exitCode));
        m_exitCode = exitCode;
    } else {
        report(QStringLiteral("program crashed"));
        m_exitCode = 1;
    }
    QCoreApplication::exit(m_exitCode);
}

void DemoLauncher::report(const QString &line)
{
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

void DemoLauncher::complain(const QString &problem)
{
    std::fprintf(stderr, "ammeter-demo: %s\n", qPrintable(problem));
}
