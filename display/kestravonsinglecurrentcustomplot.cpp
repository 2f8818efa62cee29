// SPDX-License-Identifier: GPL-3.0-or-later
#include "kestravonsinglecurrentcustomplot.h"

#include "curvegraph.h"
#include "displaycolors.h"

#include <QDebug>
#include <QEvent>
#include <QMouseEvent>
#include <QPushButton>
#include <QResizeEvent>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <limits>

namespace {

constexpr double minimumValueTop = 500.0;
constexpr double headroomAbovePeak = 300.0;
constexpr double hourFormatAfterSeconds = 3600.0;
// Seconds of peaks kept for the value axis: more than any screen's window.
constexpr int peakSecondsKept = 3600;
constexpr int axisMargin = 80;
constexpr int pixelsPerSecond = 200;

} // namespace

KestravonSingleCurrentCustomPlot::KestravonSingleCurrentCustomPlot(QWidget *parent)
    : CustomPlot(parent)
    , timeTicker(new QCPAxisTickerTime)
{
    // Elapsed time, not the time of day: a run past midnight or across a change to or from
    // summer time keeps counting up instead of jumping back a day or an hour.
    monotonic.start();
    monotonicClock = [this] { return monotonic.elapsed(); };
    graph = new CurveGraph(xAxis, yAxis);
    setupAppearance();
    setupAxes();
    setupScrollBack();
    // The curve holds only what is in view, taken from the history at each replot: its memory
    // stays that of a screenful however long the window runs.
    connect(
        this, &QCustomPlot::beforeReplot, this, &KestravonSingleCurrentCustomPlot::refreshCurve);
}

void KestravonSingleCurrentCustomPlot::setHistory(const MeasurementHistory *history, double zero)
{
    measurements = history ? history : &ownHistory;
    started = !std::isnan(zero);
    origin = started ? zero : 0;
    lastValueBySecond.clear();
    following = false;
    setFollowing(true);
    replot(QCustomPlot::rpQueuedReplot);
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

// Scrolling back departs on purpose from a plot that took no user interaction: people leave
// the curve open overnight and want to look at what happened an hour ago without stopping it.
void KestravonSingleCurrentCustomPlot::setupScrollBack()
{
    setInteractions(QCP::iRangeDrag | QCP::iRangeZoom);
    axisRect()->setRangeDrag(Qt::Horizontal);
    axisRect()->setRangeZoom(Qt::Horizontal);
    connect(this, &QCustomPlot::mouseWheel, this, [this] { setFollowing(false); });
    connect(this, &QCustomPlot::mouseMove, this, [this](QMouseEvent *event) {
        if (event->buttons() & Qt::LeftButton)
            setFollowing(false);
    });
    connect(this, &QCustomPlot::mouseDoubleClick, this, [this] { setFollowing(true); });

    followButton = new QPushButton(this);
    followButton->setObjectName(QStringLiteral("btnFollow"));
    followButton->setCursor(Qt::PointingHandCursor);
    followButton->setStyleSheet(
        QStringLiteral("QPushButton { color: white; background-color: rgba(76, 89, 107, 220);"
                       " border: 1px solid #4C596B; border-radius: 4px; padding: 4px 10px; }"));
    followButton->hide();
    connect(followButton, &QPushButton::clicked, this, [this] { setFollowing(true); });
    retranslate();
}

void KestravonSingleCurrentCustomPlot::retranslate()
{
    followButton->setText(tr("已暂停 · 跟随最新"));
    followButton->setToolTip(tr("双击曲线也可恢复跟随"));
    followButton->adjustSize();
    placeFollowButton();
}

void KestravonSingleCurrentCustomPlot::placeFollowButton()
{
    followButton->move(width() - axisMargin - followButton->width(), 4);
}

void KestravonSingleCurrentCustomPlot::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    CustomPlot::changeEvent(event);
}

void KestravonSingleCurrentCustomPlot::setFollowing(bool follow)
{
    if (following == follow)
        return;
    following = follow;
    followButton->setVisible(!following);
    if (following && started) {
        lastElapsed = measurements->lastSeconds() - origin;
        followValues(lastElapsed);
        followTimeWindow(lastElapsed);
        replot(QCustomPlot::rpQueuedReplot);
    }
    emit followingChanged(following);
}

void KestravonSingleCurrentCustomPlot::onVoltageAndCurrentChanged(float voltage, float current)
{
    if (measurements == &ownHistory)
        ownHistory.append({monotonicClock() / 1000.0, voltage, current, 0.0f});
    // Nothing measured yet: the zeros shown before a meter is there.
    if (measurements->size() == 0)
        return;
    const double newest = measurements->lastSeconds();
    if (!started) {
        started = true;
        origin = newest;
    }
    const double elapsed = newest - origin;
    const double value = 1000.0 * current;
    const int second = static_cast<int>(elapsed);
    lastValueBySecond.insert(second, value);
    if (lastValueBySecond.size() > 2 * peakSecondsKept) {
        for (auto it = lastValueBySecond.begin(); it != lastValueBySecond.end();)
            it = it.key() < second - peakSecondsKept ? lastValueBySecond.erase(it) : std::next(it);
    }
    lastElapsed = elapsed;

    if (elapsed > hourFormatAfterSeconds)
        timeTicker->setTimeFormat(QStringLiteral("%h:%m:%s"));
    // A user who scrolled back keeps the view chosen; the newest point is still kept.
    if (following) {
        followValues(elapsed);
        followTimeWindow(elapsed);
    }
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

// What is in view, at full resolution while the view holds no more samples than it has pixels
// for; otherwise, and beyond the full-resolution horizon, the extremes of each pixel column, so
// that every peak stays drawn. A gap breaks the line.
void KestravonSingleCurrentCustomPlot::refreshCurve()
{
    if (!started)
        return;
    const QCPRange view = xAxis->range();
    const double margin = view.size() / 50 + 0.5;
    const double from = origin + view.lower - margin;
    const double to = origin + view.upper + margin;
    const int columns = std::max(axisRect()->width(), 1);
    const double gap = std::numeric_limits<double>::quiet_NaN();
    QVector<QCPGraphData> points;
    // A view reaching before the first sample of a history that has folded nothing, as at the
    // start of a run, still holds every sample there is.
    const bool everySample = (measurements->isComplete() || from >= measurements->firstSeconds())
        && measurements->countBetween(from, to) <= 2 * columns;
    // Scrolled back over hours the curve is a band of strokes a column each: drawn a pixel wide
    // and unsmoothed, as on the playback page, they look the same and cost a small part of a
    // smoothed two-pixel line's joins.
    graph->setAntialiased(everySample);
    graph->setPen(QPen(Qt::red, everySample ? 2 : 1, Qt::SolidLine));
    if (everySample) {
        measurements->visit(from, to, [&](const MeasurementHistory::Sample &sample) {
            points.append(QCPGraphData(
                sample.seconds - origin, sample.isGap() ? gap : 1000.0 * sample.current));
        });
    } else {
        for (const MeasurementHistory::Extent &extent : measurements->summary(from, to, columns)) {
            const double key = (extent.from + extent.to) / 2 - origin;
            if (extent.count > 0) {
                points.append(QCPGraphData(key, 1000.0 * extent.current.min));
                points.append(QCPGraphData(key, 1000.0 * extent.current.max));
            }
            if (extent.gap)
                points.append(QCPGraphData(key, gap));
        }
    }
    graph->data()->set(points, true);
}

void KestravonSingleCurrentCustomPlot::followValues(double elapsed)
{
    const double peak = recentPeak(static_cast<int>(elapsed));
    yAxis->setRange(0, std::max(peak + headroomAbovePeak, minimumValueTop));
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
    placeFollowButton();
    CustomPlot::resizeEvent(event);
}

void KestravonSingleCurrentCustomPlot::fitTimeWindow(int width)
{
    const int fitting = (width - axisMargin) / pixelsPerSecond;
    windowSeconds = secondsPerWidth > 0 ? secondsPerWidth : fitting;
    // About one tick per second of the window, and no more than fit beside each other.
    timeTicker->setTickCount(std::max(0, std::min(windowSeconds, fitting)) + 1);
}
