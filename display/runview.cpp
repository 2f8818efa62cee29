// SPDX-License-Identifier: GPL-3.0-or-later
#include "runview.h"

#include "displaycolors.h"

#include <QFileInfo>
#include <QMouseEvent>

#include <algorithm>
#include <limits>

namespace {

constexpr double headroom = 1.1;
constexpr double minimumCurrentTop = 10.0;

} // namespace

RunView::RunView(QWidget *parent)
    : CustomPlot(parent)
{
    setupAxes();
    setInteractions(QCP::iRangeDrag | QCP::iRangeZoom);
    axisRect()->setRangeDrag(Qt::Horizontal);
    axisRect()->setRangeZoom(Qt::Horizontal);
    selectionRect()->setPen(QPen(Qt::white, 1, Qt::DashLine));
    selectionRect()->setBrush(QColor(255, 255, 255, 40));
    connect(selectionRect(), &QCPSelectionRect::accepted, this,
        [this](const QRect &rect) { onSelected(rect); });

    selectionShade = new QCPItemRect(this);
    selectionShade->setPen(QPen(QColor(255, 255, 255, 120), 1));
    selectionShade->setBrush(QColor(255, 255, 255, 36));
    selectionShade->topLeft->setTypeY(QCPItemPosition::ptAxisRectRatio);
    selectionShade->bottomRight->setTypeY(QCPItemPosition::ptAxisRectRatio);
    selectionShade->setVisible(false);

    connect(xAxis, QOverload<const QCPRange &>::of(&QCPAxis::rangeChanged), this,
        [this](const QCPRange &range) {
            followVisibleValues();
            emit visibleRangeChanged(range.lower, range.upper);
        });
}

void RunView::setupAxes()
{
    setBackground(QBrush(DisplayColors::background));
    auto ticker = QSharedPointer<QCPAxisTickerTime>::create();
    ticker->setTimeFormat(QStringLiteral("%h:%m:%s"));
    xAxis->setTicker(ticker);
    for (QCPAxis *axis : {xAxis, yAxis, yAxis2}) {
        axis->setBasePen(QPen(DisplayColors::axis, 1));
        axis->setTickPen(QPen(DisplayColors::axis, 1));
        axis->setSubTickPen(QPen(DisplayColors::axis, 1));
        axis->setTickLabelColor(Qt::white);
        axis->setLabelColor(Qt::white);
        axis->setTickLabelFont(QFont(DisplayColors::gaugeFontFamily, 10));
        axis->grid()->setPen(QPen(DisplayColors::axis, 1, Qt::DashLine));
    }
    xAxis->grid()->setPen(QPen(DisplayColors::axis, 1, Qt::SolidLine));
    yAxis2->grid()->setVisible(false);
    yAxis->setLabel(QStringLiteral("mA"));
    yAxis2->setLabel(QStringLiteral("V / W"));
    legend->setBrush(QColor(14, 20, 27, 220));
    legend->setBorderPen(QPen(DisplayColors::axis));
    legend->setTextColor(Qt::white);
    axisRect()->insetLayout()->setInsetAlignment(0, Qt::AlignTop | Qt::AlignRight);
}

// A hidden view has no size to draw at yet; it draws when it is shown.
void RunView::refresh()
{
    if (isVisible())
        replot(QCustomPlot::rpQueuedReplot);
    else
        replotPending = true;
}

void RunView::showEvent(QShowEvent *event)
{
    CustomPlot::showEvent(event);
    if (replotPending) {
        replotPending = false;
        replot(QCustomPlot::rpQueuedReplot);
    }
}

QColor RunView::runColor(int index)
{
    static const QColor colors[]
        = {Qt::red, DisplayColors::power, QColor(255, 200, 40), QColor(200, 120, 255)};
    return colors[index % 4];
}

QCPGraph *RunView::addRunGraph(const RecordedRun &run, double RecordedRun::Row::*field,
    double scale, QCPAxis *valueAxis, const QColor &color)
{
    QCPGraph *graph = addGraph(xAxis, valueAxis);
    // A hairline: a whole run zoomed out swings across every pixel row, and Qt strokes wider
    // pens of such a line tens of times slower, too slow to follow the wheel.
    graph->setPen(QPen(color, 1));
    const QVector<RecordedRun::Row> &rows = run.rows();
    QVector<QCPGraphData> points;
    points.reserve(rows.size() + rows.size() / 64);
    for (int i = 0; i < rows.size(); ++i) {
        // A blank point breaks the line where the meter was away, instead of bridging the gap.
        if (i > 0 && rows.at(i).seconds - rows.at(i - 1).seconds > RunTotals::GapSeconds)
            points.append(QCPGraphData(rows.at(i - 1).seconds + RunTotals::GapSeconds / 2,
                std::numeric_limits<double>::quiet_NaN()));
        points.append(QCPGraphData(rows.at(i).seconds, scale * rows.at(i).*field));
    }
    graph->data()->set(points, true);
    return graph;
}

void RunView::setRuns(const QVector<const RecordedRun *> &newRuns)
{
    clearGraphs();
    currentGraphs.clear();
    runs = newRuns;
    for (int i = 0; i < runs.size(); ++i) {
        QCPGraph *graph
            = addRunGraph(*runs.at(i), &RecordedRun::Row::current, 1000.0, yAxis, runColor(i));
        graph->setName(QFileInfo(runs.at(i)->fileName()).fileName());
        currentGraphs.append(graph);
    }
    voltageGraph = nullptr;
    powerGraph = nullptr;
    if (!runs.isEmpty()) {
        voltageGraph = addRunGraph(
            *runs.first(), &RecordedRun::Row::voltage, 1.0, yAxis2, DisplayColors::voltage);
        powerGraph = addRunGraph(
            *runs.first(), &RecordedRun::Row::power, 1.0, yAxis2, DisplayColors::power);
        for (QCPGraph *graph : {voltageGraph, powerGraph})
            graph->removeFromLegend();
    }
    applyColours();
    setQuantitiesShown(false, false);
    clearSelection();
    fit();
}

void RunView::setQuantityColours(const QuantityColours &newColours)
{
    colours = newColours;
    applyColours();
    replot(QCustomPlot::rpQueuedReplot);
}

void RunView::applyColours()
{
    if (currentGraphs.size() == 1)
        currentGraphs.first()->setPen(QPen(colours.curve, 1));
    if (voltageGraph)
        voltageGraph->setPen(QPen(colours.voltage, 1));
    if (powerGraph)
        powerGraph->setPen(QPen(colours.power, 1));
}

void RunView::setQuantitiesShown(bool voltage, bool power)
{
    if (voltageGraph) {
        voltageGraph->setVisible(voltage);
        powerGraph->setVisible(power);
    }
    yAxis2->setVisible(voltage || power);
    followVisibleValues();
    refresh();
}

void RunView::setLegendShown(bool shown)
{
    legend->setVisible(shown);
    refresh();
}

void RunView::fit()
{
    double longest = 1;
    for (const RecordedRun *run : qAsConst(runs))
        longest = std::max(longest, run->durationSeconds());
    showSeconds(0, longest);
}

void RunView::showSeconds(double from, double to)
{
    xAxis->setRange(from, to);
    refresh();
}

// The value axes follow what is in view, so a zoom into a quiet minute shows its detail.
void RunView::followVisibleValues()
{
    const QCPRange keys = xAxis->range();
    const auto topOf = [&keys](const QVector<QCPGraph *> &graphs, double minimum) {
        double top = minimum;
        double bottom = 0;
        for (QCPGraph *graph : graphs) {
            bool found = false;
            if (!graph || !graph->visible())
                continue;
            const QCPRange values = graph->getValueRange(found, QCP::sdBoth, keys);
            if (found) {
                top = std::max(top, values.upper * headroom);
                bottom = std::min(bottom, values.lower * headroom);
            }
        }
        return QCPRange(bottom, top);
    };
    yAxis->setRange(topOf(currentGraphs, minimumCurrentTop));
    yAxis2->setRange(topOf({voltageGraph, powerGraph}, 1.0));
}

void RunView::mousePressEvent(QMouseEvent *event)
{
    setSelectionRectMode(
        event->modifiers().testFlag(Qt::ShiftModifier) ? QCP::srmCustom : QCP::srmNone);
    CustomPlot::mousePressEvent(event);
}

void RunView::mouseDoubleClickEvent(QMouseEvent *event)
{
    CustomPlot::mouseDoubleClickEvent(event);
    clearSelection();
    fit();
}

void RunView::onSelected(const QRect &rect)
{
    double from = xAxis->pixelToCoord(rect.left());
    double to = xAxis->pixelToCoord(rect.right());
    if (from > to)
        std::swap(from, to);
    selectionShade->topLeft->setCoords(from, 0);
    selectionShade->bottomRight->setCoords(to, 1);
    selectionShade->setVisible(to > from);
    refresh();
    emit selectionChanged();
}

QCPRange RunView::selection() const
{
    return QCPRange(
        selectionShade->topLeft->coords().x(), selectionShade->bottomRight->coords().x());
}

void RunView::clearSelection()
{
    if (!selectionShade->visible())
        return;
    selectionShade->setVisible(false);
    refresh();
    emit selectionChanged();
}
