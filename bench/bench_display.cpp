// SPDX-License-Identifier: GPL-3.0-or-later
// What showing the meter costs: the process's CPU time per second of wall time
// with the main window shown at its own 1149 x 652 and the real device fed by a
// meter at the device's own 100 ms poll, separately for each page. The frames'
// latency up to a slot connected after the pages is measured on the way, so it
// includes the pages' own handling of the same frame. The pages with a needle are
// measured again with "reduce motion", beside their figure of the same run, and
// the window once more while hidden.
//
// Meant for a real X server (xvfb-run); the X server's own share is read from
// /proc when it can be found and is reported beside, not added in.

#include "appsettings.h"
#include "commoncurrentusbdevice.h"
#include "mainwindow.h"
#include "processfigures.h"
#include "temporaryappdir.h"
#include "timedmeter.h"
#include "usbserialportmonitor.h"

#include <QAction>
#include <QApplication>
#include <QCommandLineParser>
#include <QDir>

#include <cstdio>
#include <ctime>

namespace {

using ProcessFigures::runFor;

const char Target[] = "at most 5 % of one core per shown page, 1 % hidden";

struct Page
{
    const char *action;
    const char *key;
    const char *name;
};

const Page Pages[] = {
    {"actionCurve", "curve", "curve page"},
    {"actionNeedle", "needle", "needle page"},
    {"actionCurveNeedle", "combined", "curve and needle page"},
};

double cpuSeconds(clockid_t clock)
{
    timespec t;
    clock_gettime(clock, &t);
    return t.tv_sec + t.tv_nsec / 1e9;
}

// The pid of the Xvfb serving $DISPLAY, or 0.
int xServerPid()
{
    const QString display = qEnvironmentVariable("DISPLAY");
    if (display.isEmpty())
        return 0;
    for (const QString &entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        QFile file(QStringLiteral("/proc/%1/cmdline").arg(entry));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QList<QByteArray> args = file.readAll().split('\0');
        if (args.value(0).endsWith("Xvfb") && args.contains(display.toLocal8Bit()))
            return entry.toInt();
    }
    return 0;
}

struct Cost
{
    double processPercent = 0;
    double guiThreadPercent = 0;
    double xServerPercent = 0;
};

Cost measureCost(int seconds, int xServer)
{
    const qint64 wallStart = TimedMeter::nowNs();
    const double processStart = cpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
    const double guiStart = cpuSeconds(CLOCK_THREAD_CPUTIME_ID);
    const double xStart = ProcessFigures::cpuSeconds(xServer);
    runFor(seconds * 1000);
    const double wall = (TimedMeter::nowNs() - wallStart) / 1e9;
    Cost cost;
    cost.processPercent = (cpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - processStart) / wall * 100;
    cost.guiThreadPercent = (cpuSeconds(CLOCK_THREAD_CPUTIME_ID) - guiStart) / wall * 100;
    cost.xServerPercent = (ProcessFigures::cpuSeconds(xServer) - xStart) / wall * 100;
    return cost;
}

void printCost(const char *key, const char *name, const Cost &cost)
{
    std::printf("%-24s process %5.2f %% of a core (GUI thread %5.2f %%), X server %5.2f %%\n", name,
        cost.processPercent, cost.guiThreadPercent, cost.xServerPercent);
    std::printf("RESULT\tdisplay.%s.cpu\t%.2f\t%%\n", key, cost.processPercent);
    std::printf("RESULT\tdisplay.%s.guithread\t%.2f\t%%\n", key, cost.guiThreadPercent);
    std::printf("RESULT\tdisplay.%s.xserver\t%.2f\t%%\n", key, cost.xServerPercent);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char *argv[])
{
    // The window keeps Settings.ini beside the executable: run from a copy.
    if (!isInTemporaryAppDir())
        return runInTemporaryAppDir(argc, argv);

    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addOption({"seconds", "Seconds measured per page.", "s", "60"});
    parser.addOption({"quick", "10 seconds per page."});
    parser.addOption(
        {"page", "Only this page: curve, needle or combined (and no hidden window).", "page"});
    parser.process(app);
    const int seconds = parser.isSet("quick") ? 10 : qMax(1, parser.value("seconds").toInt());
    const int settleMs = 3000;

    TimedMeter meter;
    if (!meter.start()) {
        std::fprintf(stderr, "bench_display: cannot create a pseudo-terminal\n");
        return 1;
    }

    MainWindow window;
    auto *settings = window.findChild<AppSettings *>();
    settings->setReduceMotion(false);
    window.resize(1149, 652);
    window.show();
    const int xServer = xServerPid();
    std::printf("bench_display: %s platform, window %dx%d, %d s per page\n",
        qPrintable(QGuiApplication::platformName()), window.width(), window.height(), seconds);
    runFor(settleMs);
    printCost("idle", "no meter, needle page", measureCost(qMin(seconds, 10), xServer));

    auto *device = window.findChild<CommonCurrentUSBDevice *>();
    QVector<qint64> arrivedAtNs(100000, 0);
    int lastFrame = -1;
    QObject receiver;
    QObject::connect(device, &CommonCurrentUSBDevice::parameterChanged, &receiver,
        [&](float voltage, float, float) {
            const qint64 now = TimedMeter::nowNs();
            const int frame = TimedMeter::frameOf(voltage);
            if (frame < 0 || frame >= arrivedAtNs.size())
                return;
            arrivedAtNs[frame] = now;
            lastFrame = frame;
        });
    emit UsbSerialPortMonitor::instance()->serialFounded(
        meter.portName(), QStringList {device->productName()});

    struct Range
    {
        int first;
        int end;
    };
    QVector<Range> ranges;
    QVector<const Page *> measured;
    for (const Page &page : Pages) {
        if (parser.isSet("page") && parser.value("page") != QLatin1String(page.key))
            continue;
        measured << &page;
        window.findChild<QAction *>(QLatin1String(page.action))->trigger();
        runFor(settleMs);
        const int first = lastFrame + 1;
        printCost(page.key, page.name, measureCost(seconds, xServer));
        ranges.append({first, lastFrame + 1});
        // The same page with "reduce motion": the needle jumps instead of sweeping.
        if (qstrcmp(page.key, "curve") != 0) {
            settings->setReduceMotion(true);
            runFor(settleMs);
            const QByteArray key = QByteArray(page.key) + ".reducedmotion";
            const QByteArray name = QByteArray(page.name) + ", reduced motion";
            printCost(key.constData(), name.constData(), measureCost(seconds, xServer));
            settings->setReduceMotion(false);
        }
    }
    // Hidden, the window still takes every measurement (its history, figures and recording go
    // on) but draws none of it.
    if (!parser.isSet("page")) {
        window.findChild<QAction *>(QStringLiteral("actionNeedle"))->trigger();
        window.hide();
        runFor(settleMs);
        printCost("hidden", "hidden window", measureCost(seconds, xServer));
        window.show();
    }
    meter.stop();

    for (int i = 0; i < ranges.size(); ++i) {
        const TimedMeter::Latencies l
            = meter.latencies(arrivedAtNs, ranges[i].first, ranges[i].end);
        std::printf("%-24s %d frames (%d lost), latency median %.1f us, 99th percentile %.1f us, "
                    "maximum %.1f us\n",
            measured[i]->name, l.frames, l.lost, l.medianUs, l.p99Us, l.maxUs);
        std::printf("RESULT\tdisplay.%s.frames\t%d\tframes\n", measured[i]->key, l.frames);
        std::printf("RESULT\tdisplay.%s.latency.p99\t%.3f\tms\n", measured[i]->key, l.p99Us / 1000);
        std::printf("RESULT\tdisplay.%s.latency.max\t%.3f\tms\n", measured[i]->key, l.maxUs / 1000);
    }
    std::printf("target: %s\n", Target);
    return 0;
}
