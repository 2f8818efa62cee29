// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef NUMBERNEDDLEWIDGET_H
#define NUMBERNEDDLEWIDGET_H

#include <QPointF>
#include <QRectF>
#include <QString>
#include <QWidget>

class QPainter;

// An analogue meter painted by hand: the upper part of a circle cut off by a horizontal chord,
// graduated 0 to 5 in 50 divisions with the last fifth in red, the unit in the middle and a red
// needle pivoting on the middle of the chord. Everything follows the widget's size.
class NumberNeddleWidget : public QWidget
{
    Q_OBJECT

public:
    explicit NumberNeddleWidget(QWidget *parent = nullptr);

    double value() const { return m_value; }
    QString unitText() const { return m_unitText; }

    // The square whose inscribed circle the bottom edge of rect cuts in left and right, with
    // the angles of those points seen from the circle's centre (counter-clockwise degrees).
    static QRectF calcTopScribed(const QRectF &rect, QPointF &left, double &leftAngle,
        QPointF &right, double &rightAngle, QPointF &centre);

public slots:
    void onValueChanged(double value);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QRectF gaugeRect() const;
    void drawUnitText(QPainter &painter, const QRectF &gauge) const;
    void drawTicks(
        QPainter &painter, const QRectF &circle, const QPointF &left, double sweep) const;
    void drawNeedle(QPainter &painter, const QRectF &circle, const QPointF &left,
        const QPointF &pivot, double sweep) const;

    QString m_unitText;
    double m_value;
};

#endif // NUMBERNEDDLEWIDGET_H
