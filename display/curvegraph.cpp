// SPDX-License-Identifier: GPL-3.0-or-later
#include "curvegraph.h"

#include <algorithm>
#include <cmath>

namespace {

// Pixels per strip, a dozen of the curve's segments: narrower strips stroke the overlap
// between them too often, wider ones give back the crossings they save.
constexpr int stripWidth = 128;

bool isWhole(double x)
{
    return x == std::floor(x);
}

} // namespace

CurveGraph::CurveGraph(QCPAxis *keyAxis, QCPAxis *valueAxis)
    : QCPGraph(keyAxis, valueAxis)
{ }

// Strips are for a line that only moves to the right, drawn on pixels; any other case is left
// to the graph's own drawing.
bool CurveGraph::canDrawInStrips(const QCPPainter *painter, const QVector<QPointF> &lines) const
{
    const QPen pen = painter->pen();
    const QTransform &transform = painter->combinedTransform();
    if (painter->modes().testFlag(QCPPainter::pmVectorized) || pen.isCosmetic()
        || pen.style() != Qt::SolidLine || qFuzzyCompare(pen.widthF(), 1.0) || lines.size() < 3
        || transform.type() > QTransform::TxScale || transform.m11() <= 0)
        return false;
    for (int i = 0; i < lines.size(); ++i) {
        const QPointF &p = lines.at(i);
        if (!std::isfinite(p.x()) || !std::isfinite(p.y())
            || (i > 0 && p.x() < lines.at(i - 1).x()))
            return false;
    }
    return true;
}

// The strips' left edges in logical coordinates, each falling exactly on a device pixel's edge
// as the painter maps a clip rectangle, so that they neither overlap nor leave a column out;
// empty when the scale does not allow it.
QVector<double> CurveGraph::stripEdges(const QCPPainter *painter, double from, double to)
{
    const QTransform &transform = painter->combinedTransform();
    const double scale = transform.m11();
    const double offset = transform.dx();
    // Whole device pixels for a whole logical width at the usual scales (125 %, 150 %, ...).
    const int width = isWhole(scale * stripWidth) ? int(scale * stripWidth) : stripWidth;
    QVector<double> edges;
    for (int device = int(std::floor((scale * from + offset) / width)) * width;
         device < scale * to + offset + width; device += width) {
        const double edge = (device - offset) / scale;
        if (!edges.isEmpty()) {
            const double mapped = scale * edges.last() + offset;
            if (!isWhole(mapped) || !isWhole(mapped + scale * (edge - edges.last())))
                return {};
        }
        edges << edge;
    }
    return edges;
}

void CurveGraph::drawLinePlot(QCPPainter *painter, const QVector<QPointF> &lines) const
{
    if (painter->pen().style() == Qt::NoPen || painter->pen().color().alpha() == 0)
        return;
    applyDefaultAntialiasingHint(painter);
    // Joins and square caps reach at most a pen width from their point.
    const double reach = painter->pen().widthF() + 1;
    const QRectF area
        = painter->hasClipping() ? painter->clipBoundingRect() : QPolygonF(lines).boundingRect();
    const QVector<double> edges = canDrawInStrips(painter, lines)
        ? stripEdges(painter, std::max(area.left(), lines.first().x() - reach),
            std::min(area.right(), lines.last().x() + reach))
        : QVector<double>();
    if (edges.size() < 2) {
        drawPolyline(painter, lines);
        return;
    }

    const auto begin = lines.constBegin();
    const auto end = lines.constEnd();
    const auto byX = [](const QPointF &p, double x) { return p.x() < x; };
    for (int i = 0; i + 1 < edges.size(); ++i) {
        const double left = edges.at(i);
        const double right = edges.at(i + 1);
        // From the last point at least a reach to the left of the strip to the first point at
        // least a reach to its right: the caps of the part then lie outside the strip.
        auto from = std::lower_bound(begin, end, left - reach, byX);
        if (from != begin)
            --from;
        auto to = std::lower_bound(from, end, right + reach, byX);
        if (to != end)
            ++to;
        painter->save();
        painter->setClipRect(
            QRectF(left, area.top() - reach, right - left, area.height() + 2 * reach),
            Qt::IntersectClip);
        painter->drawPolyline(&*from, int(to - from));
        painter->restore();
    }
}
