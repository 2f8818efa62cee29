// SPDX-License-Identifier: GPL-3.0-or-later
// What looking at recordings and a week of live measurement cost.
//
// Playback: a 24-hour recording at ten rows a second is written with the recording's own
// writer, then opened and drawn with its figures on the playback page, zoomed and panned at
// 1920 px, and compared four times over; beside each figure its baseline from the same run
// (reading the file alone, the same page with an hour's recording, one run's memory).
//
// Week: the curve page and the curve-and-needle page draw from one history, as in the window,
// and are fed a week of measurements as fast as they take them on a simulated clock, hidden as
// behind the needle page; a measurement on the shown curve page is timed after the first hour
// and at the end of the week, and the resident memory read before and after.

#include "comparepage.h"
#include "currentandneedledevicewidget.h"
#include "currentdevicelinewidget.h"
#include "kestravonsinglecurrentcustomplot.h"
#include "measurementhistory.h"
#include "playbackpage.h"
#include "processfigures.h"
#include "recordingreader.h"
#include "recordwriter.h"
#include "runtotals.h"
#include "runview.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <malloc.h>
#include <vector>

namespace {

const double MB = 1024.0 * 1024.0;
constexpr int rowsPerSecond = 10;
constexpr int width = 1920;
constexpr int height = 1000;

double resident()
{
    malloc_trim(0);
    return ProcessFigures::residentBytes(QCoreApplication::applicationPid()) / MB;
}

double currentAt(qint64 index)
{
    const double seconds = double(index) / rowsPerSecond;
    return 0.04 + 0.004 * std::sin(index * 0.7) + (std::fmod(seconds, 60.0) < 2.5 ? 0.26 : 0.0);
}

QString writeRecording(const QString &path, double hours)
{
    RecordWriter writer;
    RunTotals totals;
    if (!writer.open(path, RecordWriter::Csv))
        return QString();
    const QDateTime start = QDateTime::currentDateTime();
    const qint64 rows = qint64(hours * 3600 * rowsPerSecond);
    for (qint64 i = 0; i < rows; ++i) {
        const double seconds = double(i) / rowsPerSecond;
        const double current = currentAt(i);
        const Measurement m {start.addMSecs(i * 100), seconds, 4.9, current, 4.9 * current};
        totals.add(m);
        writer.write(m, totals.chargeMilliampereHours(), totals.energyMilliwattHours());
    }
    return path;
}

double millisecondsOf(const std::function<void()> &operation)
{
    QElapsedTimer timer;
    timer.start();
    operation();
    return timer.nsecsElapsed() / 1e6;
}

struct Spread
{
    double mean;
    double p99;
};

Spread spreadOf(const std::function<void(int)> &operation, int runs)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i)
        times.push_back(millisecondsOf([&] { operation(i); }));
    std::sort(times.begin(), times.end());
    double sum = 0;
    for (double t : times)
        sum += t;
    return {sum / runs, times[size_t(std::ceil(0.99 * runs)) - 1]};
}

// Wheel steps into the run around a moving point and back out, then drags along it, each
// followed by the redraw and the figures of the new view, as a user's hand does.
Spread navigate(PlaybackPage &page, bool pan)
{
    RunView *view = page.view();
    const double duration = page.run().durationSeconds();
    view->fit();
    return spreadOf(
        [&](int i) {
            const QCPRange range = view->visibleSeconds();
            if (pan) {
                const double step = range.size() / 10 * (i % 20 < 10 ? 1 : -1);
                view->showSeconds(range.lower + step, range.upper + step);
            } else {
                const double centre = duration * (0.3 + 0.02 * (i % 10));
                const double factor = i % 40 < 20 ? 0.7 : 1 / 0.7;
                view->showSeconds(centre - (centre - range.lower) * factor,
                    centre + (range.upper - centre) * factor);
            }
            view->replot(QCustomPlot::rpImmediateRefresh);
        },
        200);
}

void benchmarkPlayback(const QTemporaryDir &dir, double hours)
{
    std::printf("bench_playback: %g-hour recording at %d rows a second, %d x %d px\n", hours,
        rowsPerSecond, width, height);
    const QString day = writeRecording(dir.filePath("day.csv"), hours);
    const QString hour = writeRecording(dir.filePath("hour.csv"), 1);
    std::printf("file %.1f MB\n", QFileInfo(day).size() / MB);

    qint64 counted = 0;
    RecordingReader reader;
    const double readAlone
        = millisecondsOf([&] { reader.read(day, [&counted](const Measurement &) { ++counted; }); });
    const double before = resident();
    std::printf("baseline: reading the file alone %.0f ms (%lld rows); resident %.1f MB\n",
        readAlone, static_cast<long long>(counted), before);

    double afterOne = 0;
    {
        auto page = std::make_unique<PlaybackPage>();
        page->resize(width, height);
        page->show();
        QCoreApplication::processEvents();
        const double opened = millisecondsOf([&] {
            page->open(day);
            page->view()->replot(QCustomPlot::rpImmediateRefresh);
            page->repaint();
        });
        afterOne = resident();
        std::printf("open and draw with its figures %.0f ms; resident %.1f MB (+%.1f MB)\n", opened,
            afterOne, afterOne - before);
        std::printf("RESULT\tplayback.open\t%.0f\tms\n", opened);
        std::printf("RESULT\tplayback.resident\t%.1f\tMB\n", afterOne);
        const Spread zoom = navigate(*page, false);
        const Spread pan = navigate(*page, true);
        std::printf("zoom redraw mean %.2f ms, p99 %.2f ms; pan redraw mean %.2f ms, p99 %.2f ms\n",
            zoom.mean, zoom.p99, pan.mean, pan.p99);
        std::printf("RESULT\tplayback.zoom.p99\t%.2f\tms\n", zoom.p99);
        std::printf("RESULT\tplayback.pan.p99\t%.2f\tms\n", pan.p99);
        page->open(hour);
        const Spread hourZoom = navigate(*page, false);
        const Spread hourPan = navigate(*page, true);
        std::printf("baseline, a 1-hour recording: zoom redraw mean %.2f ms, p99 %.2f ms; pan "
                    "mean %.2f ms, p99 %.2f ms\n",
            hourZoom.mean, hourZoom.p99, hourPan.mean, hourPan.p99);
    }

    const double cleared = resident();
    auto compare = std::make_unique<ComparePage>();
    compare->resize(width, height);
    compare->show();
    const double compared = millisecondsOf([&] {
        compare->open({day, day, day, day});
        compare->view()->replot(QCustomPlot::rpImmediateRefresh);
        compare->repaint();
    });
    const double afterFour = resident();
    std::printf("four runs compared %.0f ms; resident %.1f MB (+%.1f MB over %.1f MB; one run "
                "took +%.1f MB)\n",
        compared, afterFour, afterFour - cleared, cleared, afterOne - before);
    std::printf("RESULT\tcompare.open\t%.0f\tms\n", compared);
    std::printf("RESULT\tcompare.resident\t%.1f\tMB\n", afterFour);
}

// A measurement as the window hands it on: into the one history, then to the pages.
class WeekFeeder
{
public:
    WeekFeeder()
    {
        for (QWidget *page : {static_cast<QWidget *>(&m_curve), static_cast<QWidget *>(&m_both)})
            for (auto *plot : page->findChildren<KestravonSingleCurrentCustomPlot *>())
                plot->setHistory(&m_history);
        m_curve.resize(width, height);
        m_both.resize(width, height);
    }

    void feed(qint64 count)
    {
        for (qint64 end = m_index + count; m_index < end; ++m_index) {
            const auto current = float(currentAt(m_index));
            m_history.append({double(m_index) / rowsPerSecond, 4.9f, current, 4.9f * current});
            m_curve.onParameterChanged(4.9f, current, 4.9f * current);
            m_both.onParameterChanged(4.9f, current, 4.9f * current);
            if (m_index % 36000 == 0)
                QCoreApplication::processEvents();
        }
    }

    // A measurement on the shown curve page: into the history, the tiles, the curve redrawn.
    Spread shownMeasurement()
    {
        m_curve.show();
        QCoreApplication::processEvents();
        feed(10);
        auto *plot = m_curve.findChild<KestravonSingleCurrentCustomPlot *>();
        const Spread spread = spreadOf(
            [&](int) {
                feed(1);
                plot->replot(QCustomPlot::rpImmediateRefresh);
            },
            300);
        m_curve.hide();
        return spread;
    }

private:
    MeasurementHistory m_history;
    CurrentDeviceLineWidget m_curve;
    CurrentAndNeedleDeviceWidget m_both;
    qint64 m_index = 0;
};

void benchmarkWeek(double hours)
{
    const double before = resident();
    WeekFeeder feeder;
    const double pages = resident();
    std::printf("bench_playback: %g hours of live measurements on a simulated clock\n", hours);
    std::printf("resident before the pages %.1f MB, with them %.1f MB\n", before, pages);
    feeder.feed(3600 * rowsPerSecond);
    const Spread first = feeder.shownMeasurement();
    QElapsedTimer fed;
    fed.start();
    feeder.feed(qint64((hours - 1) * 3600 * rowsPerSecond));
    const Spread last = feeder.shownMeasurement();
    const double after = resident();
    std::printf("fed in %.0f s\n", fed.elapsed() / 1000.0);
    std::printf("measurement on the shown curve page after the first hour: mean %.2f ms, p99 %.2f "
                "ms\n",
        first.mean, first.p99);
    std::printf("measurement on the shown curve page at the end: mean %.2f ms, p99 %.2f ms "
                "(%.2f times the first hour's mean)\n",
        last.mean, last.p99, last.mean / first.mean);
    std::printf(
        "resident after %g hours %.1f MB (+%.1f MB over the pages)\n", hours, after, after - pages);
    std::printf("RESULT\tweek.replot.ratio\t%.2f\t\n", last.mean / first.mean);
    std::printf("RESULT\tweek.resident\t%.1f\tMB\n", after);
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_LOGGING_RULES", "default.debug=false");
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addOption({"part", "playback, week or both (the default).", "part", "both"});
    parser.addOption({"recording-hours", "Hours of the recording opened.", "h", "24"});
    parser.addOption({"week-hours", "Hours of live measurements fed.", "h", "168"});
    parser.process(app);
    const QString part = parser.value("part");
    QTemporaryDir dir;
    if (part != "week")
        benchmarkPlayback(dir, parser.value("recording-hours").toDouble());
    if (part != "playback")
        benchmarkWeek(std::max(2.0, parser.value("week-hours").toDouble()));
    return 0;
}
