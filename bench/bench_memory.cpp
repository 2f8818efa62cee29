// SPDX-License-Identifier: GPL-3.0-or-later
// What a long run costs in memory. The window keeps every measurement of the
// last day in its one history (20 bytes each) and a bounded summary beyond, so
// memory grows for the first day and then stays; this measures by how much. The
// main window is fed through its device's parameterChanged on the GUI thread,
// as fast as the pages take it, and the heap in use and the resident size are
// read after every simulated six minutes. bench_playback feeds the pages a
// whole week on a simulated clock.

#include "commoncurrentusbdevice.h"
#include "kestravonsinglecurrentcustomplot.h"
#include "loadprofile.h"
#include "mainwindow.h"
#include "processfigures.h"
#include "temporaryappdir.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QEventLoop>
#include <QFile>
#include <QTimer>

#include <cstdio>
#include <malloc.h>

namespace {

const int MeasurementsPerHour = 36000;
const int Step = MeasurementsPerHour / 10;
using ProcessFigures::MB;
const char Target[] = "under 5 MB per hour of measurement";

double heapBytes()
{
    const struct mallinfo2 info = mallinfo2();
    return double(info.uordblks + info.hblkhd);
}

using ProcessFigures::residentBytes;

// Least-squares slope of y over x.
double slope(const QVector<double> &x, const QVector<double> &y)
{
    double mx = 0, my = 0;
    for (int i = 0; i < x.size(); ++i) {
        mx += x[i];
        my += y[i];
    }
    mx /= x.size();
    my /= y.size();
    double sxy = 0, sxx = 0;
    for (int i = 0; i < x.size(); ++i) {
        sxy += (x[i] - mx) * (y[i] - my);
        sxx += (x[i] - mx) * (x[i] - mx);
    }
    return sxx > 0 ? sxy / sxx : 0;
}

class Feeder
{
public:
    explicit Feeder(QWidget *window)
        : m_device(window->findChild<CommonCurrentUSBDevice *>())
        , m_plots(window->findChildren<KestravonSingleCurrentCustomPlot *>())
    {
        // As a meter that came online: the window keeps only a meter's measurements.
        emit m_device->deviceOnline();
    }

    int plotCount() const { return m_plots.size(); }

    // Hands over `count` measurements, letting the event loop run now and then so
    // that repaints and needle animations happen as they would.
    void feed(int count)
    {
        for (int i = 0; i < count; ++i) {
            const MeterReading r = m_profile.reading(m_index++);
            emit m_device->parameterChanged(
                float(r.microvolts / 1e6), float(r.microamperes / 1e6), float(r.microwatts / 1e6));
            if (m_index % 100 == 0)
                QCoreApplication::processEvents();
        }
    }

    quint64 fed() const { return m_index; }

private:
    CommonCurrentUSBDevice *m_device;
    QList<KestravonSingleCurrentCustomPlot *> m_plots;
    LoadProfile m_profile = LoadProfile::bench();
    quint64 m_index = 0;
};

} // namespace

int main(int argc, char *argv[])
{
    // The window keeps Settings.ini beside the executable: run from a copy.
    if (!isInTemporaryAppDir())
        return runInTemporaryAppDir(argc, argv);

    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addOption({"hours", "Hours of measurements to feed (at 10 a second).", "h", "1"});
    parser.process(app);
    const double hours = qMax(0.2, parser.value("hours").toDouble());

    MainWindow window;
    window.resize(1149, 652);
    window.show();
    ProcessFigures::runFor(2000);
    const double startResident = residentBytes();
    std::printf("bench_memory: %s platform; resident after start %.1f MB, heap in use %.1f MB\n",
        qPrintable(QGuiApplication::platformName()), startResident / MB, heapBytes() / MB);

    Feeder feeder(&window);
    // Past the first allocations of the plots, caches and fonts.
    feeder.feed(Step);
    QVector<double> fed, heap, resident;
    const int steps = qRound(hours * MeasurementsPerHour / Step);
    for (int step = 0; step <= steps; ++step) {
        if (step > 0)
            feeder.feed(Step);
        ProcessFigures::runFor(50);
        fed << double(feeder.fed());
        heap << heapBytes();
        resident << residentBytes();
        std::printf("%7llu measurements: heap %7.2f MB, resident %7.2f MB\n",
            static_cast<unsigned long long>(feeder.fed()), heap.last() / MB, resident.last() / MB);
        std::fflush(stdout);
    }

    const double heapPerHour = slope(fed, heap) * MeasurementsPerHour;
    const double residentPerHour = slope(fed, resident) * MeasurementsPerHour;
    std::printf("per measurement %.1f bytes of heap, over %d plots\n", slope(fed, heap),
        feeder.plotCount());
    std::printf("growth per hour: heap %.2f MB, resident %.2f MB (target: %s)\n", heapPerHour / MB,
        residentPerHour / MB, Target);
    std::printf("one week: resident %.1f MB\n", (startResident + 168 * residentPerHour) / MB);
    std::printf("RESULT\tmemory.start\t%.1f\tMB\n", startResident / MB);
    std::printf("RESULT\tmemory.heap.perhour\t%.2f\tMB\n", heapPerHour / MB);
    std::printf("RESULT\tmemory.resident.perhour\t%.2f\tMB\n", residentPerHour / MB);
    std::printf("RESULT\tmemory.week\t%.1f\tMB\n", (startResident + 168 * residentPerHour) / MB);
    return 0;
}
