// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef CURVEGRAPH_H
#define CURVEGRAPH_H

#include <qcustomplot.h>

// A graph whose line is drawn pixel for pixel as QCPGraph draws it, but in vertical strips.
//
// Qt's antialiasing rasteriser keeps the cells of each pixel row in a sorted list, so a line
// that crosses a row many times (a current that swings up and down across the whole window)
// costs the square of its crossings per row: drawn in one piece, the curve took about half of
// the curve page's time at ten measurements a second. Each strip strokes only the part of the
// line that can reach it and is clipped to its own columns; the coverage of a pixel depends
// only on the outline around it and the winding to its left, which the part alone gives
// exactly, so the picture is the same.
class CurveGraph : public QCPGraph
{
    Q_OBJECT

public:
    CurveGraph(QCPAxis *keyAxis, QCPAxis *valueAxis);

protected:
    void drawLinePlot(QCPPainter *painter, const QVector<QPointF> &lines) const override;

private:
    bool canDrawInStrips(const QCPPainter *painter, const QVector<QPointF> &lines) const;
    static QVector<double> stripEdges(const QCPPainter *painter, double from, double to);
};

#endif // CURVEGRAPH_H
