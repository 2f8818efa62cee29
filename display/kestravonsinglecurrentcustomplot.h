// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef KESTRAVONSINGLECURRENTCUSTOMPLOT_H
#define KESTRAVONSINGLECURRENTCUSTOMPLOT_H

#include "customplot.h"
#include "measurementhistory.h"

#include <QElapsedTimer>
#include <QHash>
#include <QSharedPointer>

#include <functional>

class QPushButton;

// The meter's current in milliamperes as one red curve over the seconds since the first
// measurement. The time axis shows a window of the last few seconds, as wide as the widget
// allows; the value axis starts at 0 and its top follows the peak of that window.
//
// The user may scroll back: the wheel or a drag stops the following and shows a "paused"
// control; a double click or that control follows the newest measurement again.
class KestravonSingleCurrentCustomPlot : public CustomPlot
{
    Q_OBJECT

public:
    // Milliseconds on a clock that only moves forward, whatever the time of day does.
    using Clock = std::function<qint64()>;

    explicit KestravonSingleCurrentCustomPlot(QWidget *parent = nullptr);

    bool isStartFromZero() const { return startFromZero; }
    void setStartFromZero(bool fromZero) { startFromZero = fromZero; }

    // The curve; the member of that name hides QCustomPlot::graph() in this class.
    QCPGraph *currentGraph() const { return graph; }

    // Seconds of curve across the plot's width; 0 lets the width decide, as many as fit at
    // 200 pixels a second.
    void setSecondsPerWidth(int seconds);
    void setCurveColour(const QColor &colour);

    // Where the plot reads its clock; a QElapsedTimer started with the plot unless replaced.
    void setClock(const Clock &clock) { monotonicClock = clock; }

    // Draws from the window's one history, which its owner fills before the plot hears of a
    // measurement, instead of keeping one of its own; null goes back to the plot's own. The
    // time axis counts from `zero` seconds of the history, or without one from the next
    // measurement.
    void setHistory(const MeasurementHistory *history, double zero = qQNaN());
    const MeasurementHistory *history() const { return measurements; }
    // Seconds of the history where the time axis counts from; NaN before a measurement.
    double timeZero() const { return started ? origin : qQNaN(); }

    bool isFollowing() const { return following; }

signals:
    void followingChanged(bool following);

public slots:
    void onVoltageAndCurrentChanged(float voltage, float current);
    void setFollowing(bool follow);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void setupAppearance();
    void setupAxes();
    void setupScrollBack();
    void placeFollowButton();
    void retranslate();
    double recentPeak(int second) const;
    void followTimeWindow(double elapsed);
    void fitTimeWindow(int width);
    void followValues(double elapsed);
    void refreshCurve();

    bool startFromZero = true;
    QHash<int, double> lastValueBySecond;
    // Seconds of the history at the plot's first measurement: the time axis's zero.
    double origin = 0;
    double lastElapsed = 0;
    bool started = false;
    bool following = true;
    bool replotPending = false;
    int windowSeconds = 5;
    int secondsPerWidth = 0;
    QSharedPointer<QCPAxisTickerTime> timeTicker;
    QCPGraph *graph = nullptr;
    QPushButton *followButton = nullptr;
    QElapsedTimer monotonic;
    Clock monotonicClock;
    MeasurementHistory ownHistory;
    const MeasurementHistory *measurements = &ownHistory;
};

#endif // KESTRAVONSINGLECURRENTCUSTOMPLOT_H
