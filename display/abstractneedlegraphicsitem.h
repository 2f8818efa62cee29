// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef ABSTRACTNEEDLEGRAPHICSITEM_H
#define ABSTRACTNEEDLEGRAPHICSITEM_H

#include "displaycolors.h"

#include <QColor>
#include <QElapsedTimer>
#include <QGraphicsEllipseItem>
#include <QObject>
#include <QPixmap>
#include <QRectF>

class QPropertyAnimation;

// The needle dial shared by the gauge items: three current ranges on concentric scales, an
// animated needle, and a static dial cached in m_background. Subclasses place the scales and
// the hub and add their own decorations; the measurement handling is the same for all.
class AbstractNeedleGraphicsItem : public QObject, public QGraphicsEllipseItem
{
    Q_OBJECT
    Q_PROPERTY(double value READ value WRITE setValue NOTIFY valueChanged)
    Q_PROPERTY(double needleAngle READ needleAngle WRITE setNeedleAngle NOTIFY needleAngleChanged)

public:
    explicit AbstractNeedleGraphicsItem(QGraphicsItem *parent = nullptr);
    explicit AbstractNeedleGraphicsItem(const QRectF &rect, QGraphicsItem *parent = nullptr);
    AbstractNeedleGraphicsItem(
        qreal x, qreal y, qreal width, qreal height, QGraphicsItem *parent = nullptr);

    double value() const { return m_value; }
    void setValue(double value);
    double needleAngle() const { return m_needleAngle; }
    void setNeedleAngle(double angle);

    double needleExtension() const { return m_needleExtension; }
    QRectF outerArcRect() const { return m_outerArcRect; }

    // The needle direction for a current, in degrees counter-clockwise from 3 o'clock.
    double angleForValue(double value) const;

    // With reduced motion the needle jumps to each reading instead of sweeping to it, which
    // also spares the sixty repaints a second of a sweep.
    void setReduceMotion(bool reduce);

    // Forgets the cached dial so that the next paint draws it afresh.
    void resetBackground();

    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option,
        QWidget *widget = nullptr) override;

signals:
    void valueChanged();
    void needleAngleChanged();

public slots:
    void onParameterChanged(float voltage, float current, float power);

protected:
    struct Geometry
    {
        QRectF inner;
        QRectF outer;
        QRectF innerScale;
        QPointF centre;
    };

    // The needle's clip; the scale squares are derived from it.
    virtual QRectF innerRect(const QRectF &bounds) const = 0;
    // How far the scales are drawn below (positive) or above (negative) their squares.
    virtual qreal dialShift() const = 0;
    // The white disc the needle turns on.
    virtual QRectF hubRect() const = 0;
    virtual void paintFrame(QPainter *painter, const QRectF &bounds);
    virtual void paintFixedParts(QPainter *painter);
    virtual void paintReadouts(QPainter *painter);

    Geometry geometry() const;

    QRectF m_outerArcRect;
    double m_startAngle = 140.0;
    double m_spanAngle = -100.0;
    double m_voltage = 0.0;
    double m_current = 1.5;
    double m_power = 0.0;
    double m_lastValue = 0.0;
    double m_value = 0.0;
    double m_needleExtension = 0.0;
    QPropertyAnimation *m_animation = nullptr;
    double m_needleAngle = 140.0;
    QColor m_backgroundColor = DisplayColors::background;
    QColor m_frameColor = DisplayColors::frame;
    QColor m_innerArcColor = QColor("#1A9FFE");
    double m_innerArcWidth = 2.0;
    QColor m_outerArcColor = QColor("#1DE500");
    double m_outerArcWidth = 2.0;
    QColor m_milliampDotColor = QColor("#FFE000");
    QColor m_middleTickColor = QColor("#1DE500");
    QColor m_innerTickColor = QColor("#1A9FFE");
    QColor m_milliampLabelColor = QColor("#FFE000");
    QColor m_middleLabelColor = QColor("#1DE500");
    QColor m_innerLabelColor = QColor("#1A9FFE");
    QColor m_voltageTextColor = Qt::white;
    QColor m_powerTextColor = Qt::white;
    QColor m_currentTextColor = Qt::white;
    QColor m_needleColor = Qt::white;
    double m_needleWidth = 4.0;
    double m_range1 = 0.3;
    double m_range2 = 2.0;
    double m_range3 = 5.0;
    QPixmap m_background;
    QRectF m_voltageBox;
    QRectF m_powerBox;
    QRectF m_currentBox;

private:
    void createAnimation();
    bool isOnScreen() const;
    void catchUpSweep();
    double extensionForValue(double value) const;
    static QPointF pointAt(const QPointF &centre, double angle, double radius);
    double stepAngle(int step, int steps) const;

    void buildBackground();
    void paintScales(QPainter *painter, const Geometry &g);
    void paintArcs(QPainter *painter, const Geometry &g);
    void paintMilliampDots(QPainter *painter, const Geometry &g);
    void paintMiddleTicks(QPainter *painter, const Geometry &g);
    void paintInnerTicks(QPainter *painter, const Geometry &g);
    void paintLabels(QPainter *painter, const Geometry &g);
    void paintLabel(
        QPainter *painter, const QPointF &centre, double angle, qreal side, const QString &text);
    void paintBackground(QPainter *painter);
    void paintNeedle(QPainter *painter, const Geometry &g);
    QPointF needleTip(const Geometry &g) const;
    QRectF needleBounds() const;
    void updateScaledBackground(const QSize &pixelSize);

    // The dial resampled to the size it last covered on a device, so that frames drawn at a
    // view scale other than 1:1 copy pixels instead of filtering the whole dial every time.
    QPixmap m_scaledBackground;
    // A measurement came before the dial was first drawn; the needle has yet to be aimed at it.
    bool m_needlePending = false;
    // A sweep began while no view showed the dial; it is caught up at the next paint.
    bool m_sweepPending = false;
    bool m_reduceMotion = false;
    QElapsedTimer m_sweepClock;
    // When in its sweep the needle last moved.
    int m_movedAt = 0;
};

#endif // ABSTRACTNEEDLEGRAPHICSITEM_H
