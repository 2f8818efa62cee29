// SPDX-License-Identifier: GPL-3.0-or-later
#include "runview.h"

#include "displaycolors.h"

#include <QFileInfo>
#include <QMouseEvent>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double headroom = 1.1;
constexpr double minimumCurrentTop = 10.0;
// How near a marker the pointer takes hold of it, in pixels.
constexpr int markerReach = 6;
// Up to this many rows a pixel column the rows themselves are drawn; QCustomPlot folds them into
// columns as fast as they are read.
constexpr int DetailRowsPerPixel = 4;

} // namespace

RunView::RunView(QWidget *parent)
    : CustomPlot(parent)
{
    setupAxes();
    setInteractions(QCP::iRangeDrag | QCP::iRangeZoom);
    setMouseTracking(true);
    axisRect()->setRangeDrag(Qt::Horizontal);
    axisRect()->setRangeZoom(Qt::Horizontal);
    axisRect()->setRangeDragAxes({xAxis}, {yAxis, yAxis2});
    axisRect()->setRangeZoomAxes({xAxis}, {yAxis, yAxis2});
    selectionRect()->setPen(QPen(Qt::white, 1, Qt::DashLine));
    selectionRect()->setBrush(QColor(255, 255, 255, 40));
    connect(selectionRect(), &QCPSelectionRect::accepted, this,
        [this](const QRect &rect) { onSelected(rect); });

    selectionShade = new QCPItemRect(this);
    selectionShade->setPen(Qt::NoPen);
    selectionShade->setBrush(QColor(255, 255, 255, 36));
    selectionShade->topLeft->setTypeY(QCPItemPosition::ptAxisRectRatio);
    selectionShade->bottomRight->setTypeY(QCPItemPosition::ptAxisRectRatio);
    selectionShade->setVisible(false);
    for (QCPItemStraightLine *&marker : markers) {
        marker = new QCPItemStraightLine(this);
        marker->setPen(QPen(Qt::white, 1));
        marker->setVisible(false);
    }

    connect(xAxis, QOverload<const QCPRange &>::of(&QCPAxis::rangeChanged), this,
        [this](const QCPRange &range) {
            fillGraphs();
            adaptToVisibleRows();
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

// The detail drawn follows the pixels there are.
void RunView::resizeEvent(QResizeEvent *event)
{
    CustomPlot::resizeEvent(event);
    fillGraphs();
}

QColor RunView::runColor(int index)
{
    static const QColor colors[]
        = {Qt::red, DisplayColors::power, QColor(255, 200, 40), QColor(200, 120, 255)};
    return colors[index % 4];
}

QCPGraph *RunView::addRunGraph(QCPAxis *valueAxis, const QColor &color)
{
    QCPGraph *graph = addGraph(xAxis, valueAxis);
    // A hairline: a whole run zoomed out swings across every pixel row, and Qt strokes wider
    // pens of such a line tens of times slower, too slow to follow the wheel.
    graph->setPen(QPen(color, 1));
    return graph;
}

// A view moved over a sketch stays where the user took it when the rows arrive.
void RunView::setRuns(const QVector<const RecordedRun *> &newRuns)
{
    const QCPRange sketchView = xAxis->range();
    const bool movedOverSketch
        = !sketchGraphs.isEmpty() && sketchView != QCPRange(0, sketchSeconds);
    sketchGraphs.clear();
    sketchCurrent = QCPRange();
    sketchSeconds = 0;
    clearGraphs();
    currentGraphs.clear();
    runs = newRuns;
    for (int i = 0; i < runs.size(); ++i) {
        QCPGraph *graph = addRunGraph(yAxis, runColor(i));
        graph->setName(QFileInfo(runs.at(i)->fileName()).fileName());
        currentGraphs.append(graph);
    }
    voltageGraph = nullptr;
    powerGraph = nullptr;
    if (!runs.isEmpty()) {
        voltageGraph = addRunGraph(yAxis2, DisplayColors::voltage);
        powerGraph = addRunGraph(yAxis2, DisplayColors::power);
        for (QCPGraph *graph : {voltageGraph, powerGraph})
            graph->removeFromLegend();
    }
    applyColours();
    setValuesFixed(false);
    setQuantitiesShown(false, false);
    clearSelection();
    fit();
    if (movedOverSketch && !runs.isEmpty())
        showSeconds(sketchView.lower, sketchView.upper);
}

// The sketches are drawn as they are: a few thousand points, as fast to zoom as to draw.
void RunView::showSketch(int index, const RunSketch &sketch)
{
    if (!runs.isEmpty() || sketch.isEmpty())
        return;
    while (sketchGraphs.size() <= index) {
        sketchGraphs.append(addRunGraph(yAxis, runColor(sketchGraphs.size())));
        sketchGraphs.last()->removeFromLegend();
    }
    QVector<double> seconds;
    QVector<double> milliamperes;
    for (const QPointF &point : sketch.current) {
        seconds.append(point.x());
        milliamperes.append(1000.0 * point.y());
        sketchCurrent.lower = std::min(sketchCurrent.lower, milliamperes.last());
        sketchCurrent.upper = std::max(sketchCurrent.upper, milliamperes.last());
    }
    sketchGraphs.at(index)->setData(seconds, milliamperes, true);
    for (int i = 0; i < sketchGraphs.size(); ++i)
        sketchGraphs.at(i)->setPen(QPen(sketchGraphs.size() == 1 ? colours.curve : runColor(i), 1));
    sketchSeconds = std::max(sketchSeconds, sketch.durationSeconds());
    fit();
}

// Only what is in view is drawn, at the detail the screen can show: the rows themselves where
// there are few enough to tell apart, else the extremes of the run's tiles, a column of pixels
// each. A blank point breaks the line where the meter was away, instead of bridging the gap.
void RunView::fillGraph(QCPGraph *graph, const RecordedRun &run, Quantity quantity, double scale)
{
    const QCPRange keys = xAxis->range();
    const int columns = std::max(width(), 100);
    const double breakAt = RunTotals::GapSeconds;
    const double missing = std::numeric_limits<double>::quiet_NaN();
    QVector<QCPGraphData> points;
    const qint64 rows = run.roughRowsBetween(keys.lower, keys.upper);
    if (rows <= DetailRowsPerPixel * columns) {
        static constexpr double RecordedRun::Row::*fields[]
            = {&RecordedRun::Row::voltage, &RecordedRun::Row::current, &RecordedRun::Row::power};
        const double RecordedRun::Row::*field = fields[quantity];
        // One row beyond each edge, so the line runs on out of view.
        const qint64 first = std::max<qint64>(run.rowsUntil(keys.lower) - 1, 0);
        double last = std::numeric_limits<double>::lowest();
        run.visitRows(first, run.rowsUntil(keys.upper), [&](const RecordedRun::Row &row) {
            if (!points.isEmpty() && row.seconds - last > breakAt)
                points.append(QCPGraphData(last + breakAt / 2, missing));
            points.append(QCPGraphData(row.seconds, scale * row.*field));
            last = row.seconds;
        });
    } else {
        static constexpr float(RecordedRun::Tile::*ranges[])[2]
            = {&RecordedRun::Tile::voltage, &RecordedRun::Tile::current, &RecordedRun::Tile::power};
        const float(RecordedRun::Tile::*range)[2] = ranges[quantity];
        const QVector<RecordedRun::Tile> &tiles = run.tilesFor(rows, columns);
        auto tile = std::lower_bound(tiles.cbegin(), tiles.cend(), keys.lower,
            [](const RecordedRun::Tile &t, double s) { return t.from + t.span < s; });
        tile = tile == tiles.cbegin() ? tile : tile - 1;
        const double perColumn = keys.size() / columns;
        int column = std::numeric_limits<int>::min();
        bool rising = false;
        double end = 0;
        for (; tile != tiles.cend(); ++tile) {
            const int at = int(std::floor((tile->from - keys.lower) / perColumn));
            const auto low = double((*tile.*range)[0]) * scale;
            const auto high = double((*tile.*range)[1]) * scale;
            const bool gap = !points.isEmpty() && tile->from - end > breakAt;
            if (gap)
                points.append(QCPGraphData(end + breakAt / 2, missing));
            // Columns rise and fall in turn, so the stroke from one column to the next is short.
            if (at != column || gap) {
                rising = !rising;
                points.append(QCPGraphData(tile->from, rising ? low : high));
                points.append(QCPGraphData(tile->from + tile->span, rising ? high : low));
                column = at;
            } else {
                QCPGraphData &first = points[points.size() - 2];
                QCPGraphData &second = points.last();
                (rising ? first : second).value = std::min((rising ? first : second).value, low);
                (rising ? second : first).value = std::max((rising ? second : first).value, high);
                second.key = tile->from + tile->span;
            }
            end = tile->from + tile->span;
            if (tile->from > keys.upper)
                break;
        }
    }
    graph->data()->set(points, true);
}

void RunView::fillGraphs()
{
    for (int i = 0; i < runs.size(); ++i)
        fillGraph(currentGraphs.at(i), *runs.at(i), Current, 1000.0);
    if (voltageGraph && voltageGraph->visible())
        fillGraph(voltageGraph, *runs.first(), Voltage, 1.0);
    if (powerGraph && powerGraph->visible())
        fillGraph(powerGraph, *runs.first(), Power, 1.0);
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
    fillGraphs();
    adaptToVisibleRows();
    refresh();
}

void RunView::setLegendShown(bool shown)
{
    legend->setVisible(shown);
    refresh();
}

void RunView::fit()
{
    double longest = std::max(1.0, sketchSeconds);
    for (const RecordedRun *run : qAsConst(runs))
        longest = std::max(longest, run->durationSeconds());
    showSeconds(0, longest);
}

void RunView::showSeconds(double from, double to)
{
    xAxis->setRange(from, to);
    refresh();
}

// The value axes follow what is in view, so a zoom into a quiet minute shows its detail. The
// runs' own figures give the extremes, as scanning a whole day's points for them is too slow to
// follow a drag. Where many rows share a pixel column the curve is drawn as a band of vertical
// strokes that smoothing cannot improve and would make twice as slow to draw, so it is smoothed
// only when zoomed in.
void RunView::adaptToVisibleRows()
{
    const QCPRange keys = xAxis->range();
    const auto reach = [](QCPRange &range, const RunTotals::Range &values, double scale) {
        range.upper = std::max(range.upper, scale * values.max * headroom);
        range.lower = std::min(range.lower, scale * values.min * headroom);
    };
    QCPRange current(0, minimumCurrentTop);
    QCPRange others(0, 1.0);
    current.lower = std::min(current.lower, sketchCurrent.lower * headroom);
    current.upper = std::max(current.upper, sketchCurrent.upper * headroom);
    qint64 densest = sketchGraphs.isEmpty() ? 0 : RunScan::SketchPoints;
    for (int i = 0; i < runs.size(); ++i) {
        const RunTotals totals = runs.at(i)->totals(keys.lower, keys.upper);
        densest = std::max(densest, totals.count());
        if (totals.count() == 0)
            continue;
        reach(current, totals.current(), 1000.0);
        if (i == 0 && voltageGraph->visible())
            reach(others, totals.voltage(), 1.0);
        if (i == 0 && powerGraph->visible())
            reach(others, totals.power(), 1.0);
    }
    for (int i = 0; i < graphCount(); ++i)
        graph(i)->setAntialiased(densest < axisRect()->width());
    if (fixedValues)
        return;
    yAxis->setRange(current);
    yAxis2->setRange(others);
}

void RunView::setValuesFixed(bool fixed)
{
    if (fixed == fixedValues)
        return;
    fixedValues = fixed;
    // Fixed values may be moved up and down too; following ones go where the data goes.
    axisRect()->setRangeDrag(fixed ? Qt::Horizontal | Qt::Vertical : Qt::Horizontal);
    adaptToVisibleRows();
    refresh();
    emit valuesFixedChanged(fixed);
}

int RunView::markerNear(const QPoint &point) const
{
    if (!hasSelection())
        return -1;
    const QCPRange edges = selection();
    const double lower = qAbs(xAxis->coordToPixel(edges.lower) - point.x());
    const double upper = qAbs(xAxis->coordToPixel(edges.upper) - point.x());
    if (std::min(lower, upper) > markerReach)
        return -1;
    return lower <= upper ? 0 : 1;
}

void RunView::mousePressEvent(QMouseEvent *event)
{
    draggedMarker = event->button() == Qt::LeftButton ? markerNear(event->pos()) : -1;
    if (draggedMarker >= 0) {
        event->accept();
        return;
    }
    setSelectionRectMode(
        event->modifiers().testFlag(Qt::ShiftModifier) ? QCP::srmCustom : QCP::srmNone);
    CustomPlot::mousePressEvent(event);
}

void RunView::mouseMoveEvent(QMouseEvent *event)
{
    if (draggedMarker < 0) {
        if (markerNear(event->pos()) >= 0)
            setCursor(Qt::SizeHorCursor);
        else
            unsetCursor();
        CustomPlot::mouseMoveEvent(event);
        return;
    }
    QCPRange edges = selection();
    const double seconds = xAxis->pixelToCoord(event->pos().x());
    (draggedMarker == 0 ? edges.lower : edges.upper) = seconds;
    // A marker dragged past the other one becomes the other edge.
    if (edges.lower > edges.upper)
        draggedMarker = 1 - draggedMarker;
    select(edges.lower, edges.upper);
}

void RunView::mouseReleaseEvent(QMouseEvent *event)
{
    if (draggedMarker >= 0) {
        draggedMarker = -1;
        event->accept();
        return;
    }
    CustomPlot::mouseReleaseEvent(event);
}

void RunView::mouseDoubleClickEvent(QMouseEvent *event)
{
    CustomPlot::mouseDoubleClickEvent(event);
    clearSelection();
    fit();
}

// Ctrl with the wheel scales the values instead of the time, which fixes them where put.
void RunView::wheelEvent(QWheelEvent *event)
{
    const bool values = event->modifiers().testFlag(Qt::ControlModifier);
    if (values)
        setValuesFixed(true);
    axisRect()->setRangeZoom(values ? Qt::Vertical : Qt::Horizontal);
    CustomPlot::wheelEvent(event);
    axisRect()->setRangeZoom(Qt::Horizontal);
}

void RunView::onSelected(const QRect &rect)
{
    select(xAxis->pixelToCoord(rect.left()), xAxis->pixelToCoord(rect.right()));
}

void RunView::select(double from, double to)
{
    if (from > to)
        std::swap(from, to);
    selectionShade->topLeft->setCoords(from, 0);
    selectionShade->bottomRight->setCoords(to, 1);
    selectionShade->setVisible(to > from);
    for (int i = 0; i < 2; ++i) {
        const double seconds = i == 0 ? from : to;
        markers[i]->point1->setCoords(seconds, 0);
        markers[i]->point2->setCoords(seconds, 1);
        markers[i]->setVisible(to > from);
    }
    refresh();
    emit selectionChanged();
}

void RunView::showMarkers(bool shown)
{
    const QCPRange keys = xAxis->range();
    if (shown)
        select(keys.lower + keys.size() / 3, keys.upper - keys.size() / 3);
    else
        clearSelection();
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
    for (QCPItemStraightLine *marker : markers)
        marker->setVisible(false);
    refresh();
    emit selectionChanged();
}
