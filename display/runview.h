// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef RUNVIEW_H
#define RUNVIEW_H

#include "customplot.h"
#include "quantitycolours.h"
#include "recordedrun.h"
#include "runsketch.h"

#include <QVector>

// Recorded runs drawn against the time since each run's own start: the current in mA, and for
// the first run its voltage and power when asked for. The wheel zooms the time around the
// pointer, a drag pans, a Shift-drag selects a stretch between two markers that can then be
// dragged, and a double click shows everything. The value axes follow what is in view until the
// user fixes them, or scales them with Ctrl and the wheel.
class RunView : public CustomPlot
{
    Q_OBJECT

public:
    explicit RunView(QWidget *parent = nullptr);

    // The runs stay owned by the caller and must outlive the view's use of them.
    void setRuns(const QVector<const RecordedRun *> &runs);
    // While no runs are shown, the sketch of the run numbered `index` among those being read.
    void showSketch(int index, const RunSketch &sketch);
    void setQuantitiesShown(bool voltage, bool power);
    void setLegendShown(bool shown);
    // "个性色彩" reaches recorded runs too: one run's curve, voltage and power take the
    // window's colours; compared runs keep a colour each.
    void setQuantityColours(const QuantityColours &colours);
    static QColor runColor(int index);

    QCPRange visibleSeconds() const { return xAxis->range(); }
    bool hasSelection() const { return selectionShade->visible(); }
    QCPRange selection() const;
    bool valuesFixed() const { return fixedValues; }

public slots:
    void fit();
    void showSeconds(double from, double to);
    void select(double from, double to);
    // Two markers over the middle third of what is in view, to be dragged where wanted, or none.
    void showMarkers(bool shown);
    void clearSelection();
    void setValuesFixed(bool fixed);

signals:
    void visibleRangeChanged(double from, double to);
    void selectionChanged();
    void valuesFixedChanged(bool fixed);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void setupAxes();
    void refresh();
    enum Quantity { Voltage, Current, Power };

    QCPGraph *addRunGraph(QCPAxis *valueAxis, const QColor &color);
    void fillGraph(QCPGraph *graph, const RecordedRun &run, Quantity quantity, double scale);
    void fillGraphs();
    void adaptToVisibleRows();
    void onSelected(const QRect &rect);
    int markerNear(const QPoint &point) const;
    void applyColours();

    QVector<const RecordedRun *> runs;
    QVector<QCPGraph *> currentGraphs;
    QCPGraph *voltageGraph = nullptr;
    QCPGraph *powerGraph = nullptr;
    QVector<QCPGraph *> sketchGraphs;
    QCPRange sketchCurrent;
    double sketchSeconds = 0;
    QCPItemRect *selectionShade = nullptr;
    QCPItemStraightLine *markers[2] = {};
    int draggedMarker = -1;
    bool fixedValues = false;
    bool replotPending = false;
    QuantityColours colours = QuantityColours::standard();
};

#endif // RUNVIEW_H
