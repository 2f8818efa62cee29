// SPDX-License-Identifier: GPL-3.0-or-later
// Prints how long one repaint of the needle page takes at a laptop and a full-HD window size,
// and how much CPU the page uses while it is fed the meter's ten measurements a second.
//
//   bench_needlepage [seconds of the fed run, default 20]
//
// Run it with QT_QPA_PLATFORM=offscreen (or on a desktop) and a release build.

#include "currentdevicewidget.h"
#include "graphicsviewitemwidget.h"
#include "needlegraphicsellipseitem.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTextStream>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <ctime>
#include <numeric>
#include <vector>

namespace {

QTextStream &out()
{
    static QTextStream stream(stdout);
    return stream;
}

// A current that wanders through all three ranges, as a load being switched would.
float currentAt(int step)
{
    const double phase = step * 0.07;
    const double ranges[] = {0.3, 2.0, 5.0};
    return float(ranges[(step / 40) % 3] * (0.5 + 0.45 * std::sin(phase)));
}

NeedleGraphicsEllipseItem *needleItemOf(CurrentDeviceWidget &page)
{
    auto *view = page.findChild<GraphicsViewItemWidget *>();
    return static_cast<NeedleGraphicsEllipseItem *>(view->item());
}

void measureRepaint(CurrentDeviceWidget &page, const QSize &size)
{
    page.resize(size);
    QApplication::processEvents();
    auto *view = page.findChild<GraphicsViewItemWidget *>();
    auto *item = needleItemOf(page);

    const int frames = 300;
    std::vector<double> times;
    times.reserve(frames);
    for (int i = 0; i < frames; ++i) {
        item->setNeedleAngle(140.0 - (i % 100));
        QElapsedTimer timer;
        timer.start();
        view->viewport()->repaint();
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    // The first frames build the dial and its resampled copy; steady state is what matters.
    times.erase(times.begin(), times.begin() + 10);
    std::sort(times.begin(), times.end());
    const double mean = std::accumulate(times.begin(), times.end(), 0.0) / times.size();
    const double p99 = times[std::min(times.size() - 1, size_t(times.size() * 0.99))];
    out() << QString("repaint %1 x %2 (view %3 x %4): mean %5 ms, p99 %6 ms\n")
                 .arg(size.width())
                 .arg(size.height())
                 .arg(view->viewport()->width())
                 .arg(view->viewport()->height())
                 .arg(mean, 0, 'f', 2)
                 .arg(p99, 0, 'f', 2);
    out().flush();
}

void measureFedLoad(CurrentDeviceWidget &page, const QSize &size, int seconds)
{
    page.resize(size);
    QApplication::processEvents();
    auto *item = needleItemOf(page);

    int step = 0;
    QTimer feed;
    QObject::connect(&feed, &QTimer::timeout, item, [item, &step] {
        const float current = currentAt(step++);
        item->onParameterChanged(5.0f, current, 5.0f * current);
    });
    feed.start(100);

    const std::clock_t cpuStart = std::clock();
    QElapsedTimer wall;
    wall.start();
    QTimer::singleShot(seconds * 1000, Qt::PreciseTimer, qApp, &QApplication::quit);
    QApplication::exec();

    const double cpu = double(std::clock() - cpuStart) / CLOCKS_PER_SEC;
    const double elapsed = wall.elapsed() / 1000.0;
    out() << QString("fed 10/s for %1 s at %2 x %3: %4 measurements, CPU %5 s per second (%6 %)\n")
                 .arg(elapsed, 0, 'f', 1)
                 .arg(size.width())
                 .arg(size.height())
                 .arg(step)
                 .arg(cpu / elapsed, 0, 'f', 3)
                 .arg(100.0 * cpu / elapsed, 0, 'f', 1);
    out().flush();
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? std::max(1, QString(argv[1]).toInt()) : 20;

    CurrentDeviceWidget page;
    page.show();
    QApplication::processEvents();

    measureRepaint(page, QSize(1149, 652));
    measureRepaint(page, QSize(1920, 1080));
    measureFedLoad(page, QSize(1149, 652), seconds);
    return 0;
}
