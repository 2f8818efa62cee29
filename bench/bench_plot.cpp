// SPDX-License-Identifier: GPL-3.0-or-later
#include "kestravonsinglecurrentcustomplot.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTextStream>

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

// How long the current plot takes to redraw once hours of measurements have piled up in the
// history it draws from; the curve takes only what is in view, so the cost must not grow with it.

namespace {

constexpr int pollsPerSecond = 10;
constexpr int repetitions = 300;
// Drawing the whole history is hundreds of times slower; a few runs show it well enough.
constexpr int historyRepetitions = 3;
constexpr int plotWidth = 1920;
constexpr int plotHeight = 480;

struct Figures
{
    double mean;
    double p99;
    double worst;
};

Figures measure(const std::function<void()> &operation, int runs = repetitions)
{
    operation();
    std::vector<double> milliseconds;
    milliseconds.reserve(runs);
    QElapsedTimer timer;
    for (int i = 0; i < runs; ++i) {
        timer.start();
        operation();
        milliseconds.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(milliseconds.begin(), milliseconds.end());
    double sum = 0;
    for (double value : milliseconds)
        sum += value;
    const auto p99Index = static_cast<size_t>(std::ceil(0.99 * runs)) - 1;
    return {sum / runs, milliseconds[p99Index], milliseconds.back()};
}

double sampleCurrent(int index)
{
    return 0.08 + 0.01 * std::sin(index * 0.7) + ((index / 40) % 25 == 0 ? 0.35 : 0.0);
}

// A plot drawing from a history that already holds the given number of measurements, one every
// 100 ms, as the window's curves draw from the window's one history.
class LoadedPlot
{
public:
    explicit LoadedPlot(int points)
    {
        m_plot.resize(plotWidth, plotHeight);
        m_plot.show();
        m_plot.setHistory(&m_history);
        for (m_next = 0; m_next < points; ++m_next)
            append();
        m_plot.onVoltageAndCurrentChanged(5.0f, static_cast<float>(sampleCurrent(m_next)));
    }

    void addMeasurement()
    {
        ++m_next;
        append();
        m_plot.onVoltageAndCurrentChanged(5.0f, static_cast<float>(sampleCurrent(m_next)));
    }

    KestravonSingleCurrentCustomPlot &plot() { return m_plot; }

private:
    void append()
    {
        const auto current = static_cast<float>(sampleCurrent(m_next));
        m_history.append({double(m_next) / pollsPerSecond, 5.0f, current, 5.0f * current});
    }

    MeasurementHistory m_history;
    KestravonSingleCurrentCustomPlot m_plot;
    int m_next = 0;
};

void print(QTextStream &out, const QString &what, const Figures &figures)
{
    out << qSetFieldWidth(52) << Qt::left << what << qSetFieldWidth(0)
        << QStringLiteral("mean %1 ms   p99 %2 ms   max %3 ms\n")
               .arg(figures.mean, 6, 'f', 2)
               .arg(figures.p99, 6, 'f', 2)
               .arg(figures.worst, 6, 'f', 2);
    out.flush();
}

void benchmarkHistory(QTextStream &out, const QString &name, int points)
{
    LoadedPlot loaded(points);
    KestravonSingleCurrentCustomPlot &plot = loaded.plot();
    out << name << ": " << plot.history()->size() << " points, window "
        << plot.xAxis->range().size() << " s\n";

    print(out, QStringLiteral("  replot, newest window"),
        measure([&plot] { plot.replot(QCustomPlot::rpImmediateRefresh); }));
    print(out, QStringLiteral("  measurement (append + replot)"),
        measure([&loaded] { loaded.addMeasurement(); }));

    // Scrolled back over the whole history: the extremes of each pixel column.
    const QCPRange window = plot.xAxis->range();
    plot.xAxis->setRange(0, window.upper);
    const auto replot = [&plot] { plot.replot(QCustomPlot::rpImmediateRefresh); };
    print(out, QStringLiteral("  replot, whole history"), measure(replot, historyRepetitions));
    plot.setPlottingHint(QCP::phFastPolylines, true);
    print(out, QStringLiteral("  replot, whole history, fast polylines"),
        measure(replot, historyRepetitions));
    plot.setPlottingHint(QCP::phFastPolylines, false);
    const QPen pen = plot.currentGraph()->pen();
    plot.currentGraph()->setPen(QPen(Qt::red, 1));
    print(out, QStringLiteral("  replot, whole history, pen width 1"),
        measure(replot, historyRepetitions));
    plot.currentGraph()->setPen(pen);
    plot.xAxis->setRange(window);
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_LOGGING_RULES", "default.debug=false");
    QApplication app(argc, argv);
    QTextStream out(stdout);
    out << "Current plot at " << plotWidth << " x " << plotHeight << " px, " << repetitions
        << " runs each\n";
    benchmarkHistory(out, QStringLiteral("1 hour"), 3600 * pollsPerSecond);
    benchmarkHistory(out, QStringLiteral("24 hours"), 24 * 3600 * pollsPerSecond - 2 * repetitions);
    return 0;
}
