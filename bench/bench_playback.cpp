// SPDX-License-Identifier: GPL-3.0-or-later
// What looking at recordings and a week of live measurement cost.
//
// Playback: recordings of an hour, a day and a week at ten rows a second, in the recording's
// own format, are opened on the playback page at 1920 px: the first time (every row read, the
// summary built) and again (the kept summary), then zoomed and panned over the whole run and
// over a minute of it; the longest is compared four times over. The hour and the day are the
// baselines of the week, measured in the same run.
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
#include "recordwriter.h"
#include "runloadbar.h"
#include "runsummarycache.h"
#include "runtotals.h"
#include "runview.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QThread>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <functional>
#include <malloc.h>
#include <vector>

namespace {

using ProcessFigures::MB;
constexpr int rowsPerSecond = 10;
constexpr int width = 1920;
constexpr int height = 1000;

double resident()
{
    malloc_trim(0);
    return ProcessFigures::residentBytes() / MB;
}

double currentAt(qint64 index)
{
    const double seconds = double(index) / rowsPerSecond;
    return 0.04 + 0.004 * std::sin(index * 0.7) + (std::fmod(seconds, 60.0) < 2.5 ? 0.26 : 0.0);
}

// The rows as the recording's writer writes them, formatted in bulk: a week of them is half a
// gigabyte, which the writer's flush per row would take minutes over. Kept in /tmp between
// runs, as they are the same every time.
QString writeRecording(const QString &name, double hours)
{
    const QString folder = QDir::tempPath() + QStringLiteral("/ammeter-bench");
    const QString path = folder + QLatin1Char('/') + name;
    const qint64 rows = qint64(hours * 3600 * rowsPerSecond);
    const QString done = path + QStringLiteral(".rows-") + QString::number(rows);
    if (QFileInfo::exists(done))
        return path;
    QDir().mkpath(folder);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return QString();
    file.write(RecordWriter::csvHeader().toUtf8() + '\n');
    const QDateTime start(QDate(2026, 12, 1), QTime(8, 0), Qt::UTC);
    RunTotals totals;
    QByteArray buffer;
    QByteArray second;
    char number[64];
    const auto put = [&](double value, int decimals) {
        buffer += ',';
        buffer.append(number,
            int(std::to_chars(
                    number, number + sizeof number, value, std::chars_format::fixed, decimals)
                    .ptr
                - number));
    };
    for (qint64 i = 0; i < rows; ++i) {
        if (i % rowsPerSecond == 0)
            second = start.addSecs(i / rowsPerSecond).toString(Qt::ISODate).toUtf8().left(19);
        const double seconds = double(i) / rowsPerSecond;
        const double current = currentAt(i);
        Measurement m;
        m.elapsedSeconds = seconds;
        m.voltage = 4.9;
        m.current = current;
        m.power = 4.9 * current;
        totals.add(m);
        buffer += second;
        std::snprintf(number, sizeof number, ".%03dZ", int(i % rowsPerSecond) * 100);
        buffer += number;
        put(seconds, 3);
        put(m.voltage, 6);
        put(m.current, 6);
        put(m.power, 6);
        put(totals.chargeMilliampereHours(), 6);
        put(totals.energyMilliwattHours(), 6);
        buffer += '\n';
        if (buffer.size() > (1 << 22)) {
            file.write(buffer);
            buffer.clear();
        }
    }
    file.write(buffer);
    file.close();
    QFile(done).open(QIODevice::WriteOnly);
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
// followed by the redraw and the figures of the new view, as a user's hand does: from the whole
// run, or from a minute of it.
Spread navigate(PlaybackPage &page, bool pan, double span)
{
    RunView *view = page.view();
    const double duration = page.run().durationSeconds();
    const double middle = duration * 0.4;
    view->showSeconds(middle - span / 2, middle + span / 2);
    const int steps = span >= duration ? 20 : 10;
    return spreadOf(
        [&](int i) {
            const QCPRange range = view->visibleSeconds();
            if (pan) {
                const double step = range.size() / 10 * (i % 20 < 10 ? 1 : -1);
                view->showSeconds(range.lower + step, range.upper + step);
            } else {
                const double centre = middle + range.size() * 0.02 * (i % 10 - 5);
                const double factor = i % (2 * steps) < steps ? 0.7 : 1 / 0.7;
                view->showSeconds(centre - (centre - range.lower) * factor,
                    centre + (range.upper - centre) * factor);
            }
            view->replot(QCustomPlot::rpImmediateRefresh);
        },
        200);
}

struct OpenTimes
{
    double sketch = 0;
    double whole = 0;
};

// From the open to the page drawn with the first sketch (when the file is read anew), and to
// the page drawn with every run.
template<typename Page, typename Files>
OpenTimes openPage(Page &page, const Files &files, bool fresh)
{
    for (const QString &file : QStringList(files))
        if (fresh)
            RunSummaryCache::forget(QFileInfo(file));
    OpenTimes times;
    QElapsedTimer timer;
    QEventLoop loop;
    QObject::connect(&page, &Page::opened, &loop, &QEventLoop::quit);
    QObject::connect(&page, &Page::openFailed, &loop, &QEventLoop::quit);
    const QMetaObject::Connection sketched = QObject::connect(
        page.template findChild<RunLoadBar *>(), &RunLoadBar::sketched, &page, [&] {
            if (times.sketch > 0)
                return;
            page.view()->replot(QCustomPlot::rpImmediateRefresh);
            page.repaint();
            times.sketch = timer.nsecsElapsed() / 1e6;
        });
    times.whole = millisecondsOf([&] {
        timer.start();
        page.open(files);
        loop.exec();
        page.view()->replot(QCustomPlot::rpImmediateRefresh);
        page.repaint();
    });
    QObject::disconnect(sketched);
    return times;
}

struct Opened
{
    double sketch = 0;
    double first = 0;
    double again = 0;
    double resident = 0;
    Spread zoom {};
    Spread pan {};
    Spread minuteZoom {};
    Spread minutePan {};
};

// The goals hold for a file in the page cache, as after it was written or opened once; this
// machine's cache is often emptied between runs, so the file is read through first.
void readThrough(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return;
    QByteArray chunk(1 << 22, Qt::Uninitialized);
    while (file.read(chunk.data(), chunk.size()) > 0) { }
}

Opened benchmarkRun(const QString &file)
{
    readThrough(file);
    Opened figures;
    auto page = std::make_unique<PlaybackPage>();
    page->resize(width, height);
    page->show();
    QCoreApplication::processEvents();
    const OpenTimes first = openPage(*page, file, true);
    figures.sketch = first.sketch;
    figures.first = first.whole;
    figures.again = openPage(*page, file, false).whole;
    figures.resident = resident();
    const double duration = page->run().durationSeconds();
    figures.zoom = navigate(*page, false, duration);
    figures.pan = navigate(*page, true, duration);
    figures.minuteZoom = navigate(*page, false, 60);
    figures.minutePan = navigate(*page, true, 60);
    return figures;
}

void benchmarkPlayback(const QList<double> &hours)
{
    std::printf("bench_playback: recordings at %d rows a second, %d x %d px, %d cores\n",
        rowsPerSecond, width, height, QThread::idealThreadCount());
    std::printf("%8s %9s %9s %9s %11s %11s %12s %11s %11s %11s %11s\n", "hours", "file MB",
        "sketch ms", "open ms", "again ms", "resident MB", "zoom p99 ms", "pan p99", "minute zoom",
        "minute pan", "(means)");
    QString longest;
    for (double h : hours) {
        const QString file = writeRecording(QStringLiteral("run-%1h.csv").arg(h), h);
        const Opened f = benchmarkRun(file);
        std::printf("%8g %9.1f %9.0f %9.0f %11.0f %11.1f %12.2f %11.2f %11.2f %11.2f   %.2f %.2f "
                    "%.2f %.2f\n",
            h, QFileInfo(file).size() / MB, f.sketch, f.first, f.again, f.resident, f.zoom.p99,
            f.pan.p99, f.minuteZoom.p99, f.minutePan.p99, f.zoom.mean, f.pan.mean,
            f.minuteZoom.mean, f.minutePan.mean);
        const QString tag = QStringLiteral("playback.%1h").arg(h);
        std::printf("RESULT\t%s.sketch\t%.0f\tms\n", qPrintable(tag), f.sketch);
        std::printf("RESULT\t%s.open\t%.0f\tms\n", qPrintable(tag), f.first);
        std::printf("RESULT\t%s.again\t%.0f\tms\n", qPrintable(tag), f.again);
        std::printf("RESULT\t%s.resident\t%.1f\tMB\n", qPrintable(tag), f.resident);
        std::printf("RESULT\t%s.zoom.p99\t%.2f\tms\n", qPrintable(tag), f.zoom.p99);
        std::printf("RESULT\t%s.pan.p99\t%.2f\tms\n", qPrintable(tag), f.pan.p99);
        std::printf("RESULT\t%s.minute.zoom.p99\t%.2f\tms\n", qPrintable(tag), f.minuteZoom.p99);
        std::printf("RESULT\t%s.minute.pan.p99\t%.2f\tms\n", qPrintable(tag), f.minutePan.p99);
        longest = file;
    }

    // Four runs of the longest length under names of their own, so each is read anew.
    QStringList four;
    for (int i = 1; i <= 4; ++i) {
        const QString copy = longest + QStringLiteral(".%1.csv").arg(i);
        QFile::remove(copy);
        QFile::link(longest, copy);
        four << copy;
    }
    const double before = resident();
    auto compare = std::make_unique<ComparePage>();
    compare->resize(width, height);
    compare->show();
    const OpenTimes compared = openPage(*compare, four, true);
    const double again = openPage(*compare, four, false).whole;
    const double afterFour = resident();
    std::printf("four of the longest compared: first sketch %.0f ms, all %.0f ms, again %.0f ms; "
                "resident %.1f MB (%.1f MB before)\n",
        compared.sketch, compared.whole, again, afterFour, before);
    std::printf("RESULT\tcompare.sketch\t%.0f\tms\n", compared.sketch);
    std::printf("RESULT\tcompare.open\t%.0f\tms\n", compared.whole);
    std::printf("RESULT\tcompare.again\t%.0f\tms\n", again);
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

    // The curve page scrolled back over the last `seconds` and panned about there, as a user
    // looks back over the past days: each step a redraw from the history.
    Spread scrolledBack(double seconds)
    {
        m_curve.show();
        QCoreApplication::processEvents();
        auto *plot = m_curve.findChild<KestravonSingleCurrentCustomPlot *>();
        const double end = plot->xAxis->range().upper;
        plot->xAxis->setRange(end - seconds, end);
        const Spread spread = spreadOf(
            [&](int i) {
                const double step = seconds / 10 * (i % 20 < 10 ? -1 : 1);
                plot->xAxis->setRange(
                    plot->xAxis->range().lower + step, plot->xAxis->range().upper + step);
                plot->replot(QCustomPlot::rpImmediateRefresh);
            },
            200);
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
    const Spread back = feeder.scrolledBack(std::min(hours, 20.0) * 3600);
    const double after = resident();
    std::printf("fed in %.0f s\n", fed.elapsed() / 1000.0);
    std::printf("measurement on the shown curve page after the first hour: mean %.2f ms, p99 %.2f "
                "ms\n",
        first.mean, first.p99);
    std::printf("measurement on the shown curve page at the end: mean %.2f ms, p99 %.2f ms "
                "(%.2f times the first hour's mean)\n",
        last.mean, last.p99, last.mean / first.mean);
    std::printf("live curve scrolled back over %g hours, a pan step: mean %.2f ms, p99 %.2f ms\n",
        std::min(hours, 20.0), back.mean, back.p99);
    std::printf(
        "resident after %g hours %.1f MB (+%.1f MB over the pages)\n", hours, after, after - pages);
    std::printf("RESULT\tweek.scrolled.p99\t%.2f\tms\n", back.p99);
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
    parser.addOption({"recording-hours",
        "Hours of the recordings opened, comma-separated; the "
        "last one is also compared four times.",
        "h", "1,24,168"});
    parser.addOption({"week-hours", "Hours of live measurements fed.", "h", "168"});
    parser.process(app);
    const QString part = parser.value("part");
    if (part != "week") {
        QList<double> hours;
        for (const QString &h : parser.value("recording-hours").split(','))
            hours << h.toDouble();
        benchmarkPlayback(hours);
    }
    if (part != "playback")
        benchmarkWeek(std::max(2.0, parser.value("week-hours").toDouble()));
    return 0;
}
