// SPDX-License-Identifier: GPL-3.0-or-later
#include "kestravonsinglecurrentcustomplot.h"

#include "curvegraph.h"
#include "displaycolors.h"

#include <QDebug>
#include <QResizeEvent>

#include <algorithm>

namespace {

constexpr double minimumValueTop = 500.0;
constexpr double headroomAbovePeak = 300.0;
constexpr double hourFormatAfterSeconds = 3600.0;
constexpr int millisecondsPerDay = 24 * 60 * 60 * 1000;
constexpr int axisMargin = 80;
constexpr int pixelsPerSecond = 200;

} // namespace

KestravonSingleCurrentCustomPlot::KestravonSingleCurrentCustomPlot(QWidget *parent)
    : CustomPlot(parent)
    , timeTicker(new QCPAxisTickerTime)
{
    graph = new CurveGraph(xAxis, yAxis);
    setupAppearance();
    setupAxes();
}

void KestravonSingleCurrentCustomPlot::setupAppearance()
{
    setBackground(QBrush(DisplayColors::background));
    // The value labels beside the plot change with every measurement too; an immediate refresh
    // would paint and flush the plot on its own, a second repaint of the window per
    // measurement for the same picture. Without it the plot joins the labels' repaint.
    setPlottingHint(QCP::phImmediateRefresh, false);
    // Nothing is drawn on the overlay layer (the plot takes no mouse selection); in a buffer of
    // its own it would be cleared and blended over the plot with every measurement.
    layer(QStringLiteral("overlay"))->setMode(QCPLayer::lmLogical);
    graph->setPen(QPen(Qt::red, 2, Qt::SolidLine));
}

void KestravonSingleCurrentCustomPlot::setupAxes()
{
    yAxis->ticker()->setTickCount(13);

    yAxis->setTickLabelFont(QFont(DisplayColors::gaugeFontFamily, 14));
    xAxis->setTickLabelFont(QFont(DisplayColors::gaugeFontFamily, 11));
    xAxis->setTickLabelColor(Qt::white);
    yAxis->setTickLabelColor(Qt::white);

    const QPen axisPen(DisplayColors::axis, 1);
    xAxis->setBasePen(axisPen);
    yAxis->setBasePen(axisPen);

    timeTicker->setTimeFormat(QStringLiteral("%m:%s"));
    timeTicker->setTickCount(windowSeconds + 1);
    xAxis->setTicker(timeTicker);

    axisRect()->setMinimumMargins(QMargins(axisMargin, 30, axisMargin, 25));
    yAxis->setRange(0, minimumValueTop);
    xAxis->setVisible(true);
    yAxis->setVisible(true);

    xAxis->grid()->setPen(QPen(DisplayColors::axis, 1, Qt::SolidLine));
    yAxis->grid()->setPen(QPen(DisplayColors::axis, 1, Qt::DashLine));
}

void KestravonSingleCurrentCustomPlot::onVoltageAndCurrentChanged(float voltage, float current)
{
    Q_UNUSED(voltage)
    const QTime now = timeOfDay();
    if (!started) {
        started = true;
        startTime = now;
    }
    const double elapsed = elapsedSeconds(now);
    const double value = 1000.0 * current;
    const int second = static_cast<int>(elapsed);
    lastValueBySecond.insert(second, value);

    yAxis->setRange(0, std::max(recentPeak(second) + headroomAbovePeak, minimumValueTop));
    if (elapsed > hourFormatAfterSeconds)
        timeTicker->setTimeFormat(QStringLiteral("%h:%m:%s"));
    followTimeWindow(elapsed);
    graph->addData(elapsed, value);
    // A plot on a page in the back would redraw ten times a second for nobody; it catches up
    // with one replot when it is next painted.
    if (isVisible())
        replot(QCustomPlot::rpRefreshHint);
    else
        replotPending = true;
}

void KestravonSingleCurrentCustomPlot::paintEvent(QPaintEvent *event)
{
    if (replotPending) {
        replotPending = false;
        replot(QCustomPlot::rpQueuedRefresh);
    }
    CustomPlot::paintEvent(event);
}

double KestravonSingleCurrentCustomPlot::elapsedSeconds(const QTime &now) const
{
    int milliseconds = startTime.msecsTo(now);
    // A run that passes midnight keeps counting up instead of jumping back a whole day.
    if (milliseconds < 0)
        milliseconds += millisecondsPerDay;
    return milliseconds / 1000.0;
}

// Seconds without a measurement count as 0, so the axis never goes below its minimum.
double KestravonSingleCurrentCustomPlot::recentPeak(int second) const
{
    double peak = 0.0;
    for (int s = second - windowSeconds - 1; s <= second; ++s)
        peak = std::max(peak, lastValueBySecond.value(s, 0.0));
    return peak;
}

void KestravonSingleCurrentCustomPlot::followTimeWindow(double elapsed)
{
    if (startFromZero && elapsed <= windowSeconds)
        xAxis->setRange(0, windowSeconds);
    else
        xAxis->setRange(elapsed - windowSeconds, elapsed);
}

void KestravonSingleCurrentCustomPlot::setSecondsPerWidth(int seconds)
{
    secondsPerWidth = std::max(0, seconds);
    fitTimeWindow(width());
}

void KestravonSingleCurrentCustomPlot::setCurveColour(const QColor &colour)
{
    QPen pen = graph->pen();
    pen.setColor(colour);
    graph->setPen(pen);
    replot(QCustomPlot::rpQueuedReplot);
}

void KestravonSingleCurrentCustomPlot::resizeEvent(QResizeEvent *event)
{
    qDebug() << "resizeEvent" << event->size() << event->oldSize();
    fitTimeWindow(event->size().width());
    CustomPlot::resizeEvent(event);
}

void KestravonSingleCurrentCustomPlot::fitTimeWindow(int width)
{
    const int fitting = (width - axisMargin) / pixelsPerSecond;
    windowSeconds = secondsPerWidth > 0 ? secondsPerWidth : fitting;
    // About one tick per second of the window, and no more than fit beside each other.
    timeTicker->setTickCount(std::max(0, std::min(windowSeconds, fitting)) + 1);
}
