// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef KESTRAVONSINGLECURRENTCUSTOMPLOT_H
#define KESTRAVONSINGLECURRENTCUSTOMPLOT_H

#include "customplot.h"

#include <QHash>
#include <QSharedPointer>
#include <QTime>

#include <functional>

// The meter's current in milliamperes as one red curve over the seconds since the first
// measurement. The time axis shows a window of the last few seconds, as wide as the widget
// allows; the value axis starts at 0 and its top follows the peak of that window.
class KestravonSingleCurrentCustomPlot : public CustomPlot
{
    Q_OBJECT

public:
    using Clock = std::function<QTime()>;

    explicit KestravonSingleCurrentCustomPlot(QWidget *parent = nullptr);

    bool isStartFromZero() const { return startFromZero; }
    void setStartFromZero(bool fromZero) { startFromZero = fromZero; }

    // The curve; the member of that name hides QCustomPlot::graph() in this class.
    QCPGraph *currentGraph() const { return graph; }

    // Seconds of curve across the plot's width; 0 lets the width decide, as many as fit at
    // 200 pixels a second.
    void setSecondsPerWidth(int seconds);
    void setCurveColour(const QColor &colour);

    // Where the plot reads the time of day; QTime::currentTime unless replaced.
    void setClock(const Clock &clock) { timeOfDay = clock; }

public slots:
    void onVoltageAndCurrentChanged(float voltage, float current);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void setupAppearance();
    void setupAxes();
    double elapsedSeconds(const QTime &now) const;
    double recentPeak(int second) const;
    void followTimeWindow(double elapsed);
    void fitTimeWindow(int width);

    bool startFromZero = true;
    QHash<int, double> lastValueBySecond;
    QTime startTime;
    bool started = false;
    bool replotPending = false;
    int windowSeconds = 5;
    int secondsPerWidth = 0;
    QSharedPointer<QCPAxisTickerTime> timeTicker;
    QCPGraph *graph = nullptr;
    Clock timeOfDay = &QTime::currentTime;
};

#endif // KESTRAVONSINGLECURRENTCUSTOMPLOT_H
