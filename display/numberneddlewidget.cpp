// SPDX-License-Identifier: GPL-3.0-or-later
#include "numberneddlewidget.h"

#include "displaycolors.h"

#include <QDebug>
#include <QLineF>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace {

const QColor unitColor(0, 104, 255);
constexpr int divisions = 50;
constexpr int firstRedTick = 40;
constexpr double scaleUnits = 5.0;
constexpr double gaugeMargin = 80.0;
constexpr double hubDiameter = 32.0;

QPen gaugePen(const QColor &color, double width)
{
    return QPen(color, width, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin);
}

} // namespace

NumberNeddleWidget::NumberNeddleWidget(QWidget *parent)
    : QWidget(parent)
    , m_unitText(QStringLiteral("A"))
    , m_value(1.6)
{ }

void NumberNeddleWidget::onValueChanged(double value)
{
    m_value = value;
    update();
}

QRectF NumberNeddleWidget::calcTopScribed(const QRectF &rect, QPointF &left, double &leftAngle,
    QPointF &right, double &rightAngle, QPointF &centre)
{
    const double x = rect.x();
    const double y = rect.y();
    const double w = rect.width();
    const double h = rect.height();
    const double side = std::max(w, h);
    const double r = side / 2;
    // A rectangle that does not cut the circle gets a chord of zero length rather than NaN.
    const double halfChord = std::sqrt(std::max(0.0, r * r - (r - h) * (r - h)));
    const double middle = x + w / 2;
    left = QPointF(middle - halfChord, y + h);
    right = QPointF(middle + halfChord, y + h);
    centre = QPointF(x + r, y + r);

    const QLineF reference(centre, QPointF(centre.x() + std::trunc(r), y + r));
    leftAngle = reference.angleTo(QLineF(centre, left));
    rightAngle = reference.angleTo(QLineF(centre, right));
    qDebug() << "calcTopScribed" << leftAngle << rightAngle;
    return QRectF(x, y, side, side);
}

// A dial no higher than half its width, centred vertically where the widget is too tall.
QRectF NumberNeddleWidget::gaugeRect() const
{
    QRectF gauge(gaugeMargin, gaugeMargin, width() - 2 * gaugeMargin, height() - 100);
    if (2 * gauge.height() > gauge.width()) {
        const double newHeight = gauge.width() / 2 - 4;
        gauge.moveTop(gauge.y() + gauge.height() / 2 - newHeight / 2);
        gauge.setHeight(newHeight);
    }
    return gauge;
}

void NumberNeddleWidget::paintEvent(QPaintEvent *event)
{
    Q_UNUSED(event)
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(QRectF(0, 0, width(), height()), Qt::white);

    const QRectF gauge = gaugeRect();
    // Too small for a dial: the chord would be undefined, so only the background shows.
    if (!gauge.isValid())
        return;

    drawUnitText(painter, gauge);

    QPointF left;
    QPointF right;
    QPointF centre;
    double leftAngle = 0;
    double rightAngle = 0;
    const QRectF circle = calcTopScribed(gauge, left, leftAngle, right, rightAngle, centre);
    const double sweep = std::abs(leftAngle - rightAngle);

    QPainterPath scale;
    scale.moveTo(left);
    scale.arcTo(circle, leftAngle, -sweep);
    painter.setPen(gaugePen(Qt::black, 2));
    painter.drawPath(scale);

    QPainterPath redZone;
    redZone.moveTo(right);
    redZone.arcTo(circle, rightAngle, sweep / scaleUnits);
    painter.setPen(gaugePen(Qt::red, 2));
    painter.drawPath(redZone);

    // Ticks are drawn from the centre outwards; the clip leaves only their part outside the
    // circle, so they stand on the scale arc.
    QPainterPath outside;
    outside.addRect(rect());
    QPainterPath inside;
    inside.addEllipse(circle);
    painter.setClipPath(outside.subtracted(inside), Qt::ReplaceClip);
    drawTicks(painter, circle, left, sweep);
    painter.setClipping(false);

    const QPointF pivot = (left + right) / 2;
    drawNeedle(painter, circle, left, pivot, sweep);

    qDebug() << "paintEvent" << QLineF(centre, left).angle() << QLineF(centre, right).angle();
}

void NumberNeddleWidget::drawUnitText(QPainter &painter, const QRectF &gauge) const
{
    painter.setPen(gaugePen(unitColor, 2));
    painter.setFont(QFont(DisplayColors::gaugeFontFamily, 64));
    QRectF textRect;
    painter.drawText(gauge, Qt::AlignCenter, m_unitText, &textRect);
    painter.setPen(gaugePen(unitColor, 6));
    painter.drawLine(
        QPointF(textRect.x(), textRect.bottom()), QPointF(textRect.right(), textRect.bottom()));
}

void NumberNeddleWidget::drawTicks(
    QPainter &painter, const QRectF &circle, const QPointF &left, double sweep) const
{
    QLineF line(circle.center(), left);
    const double startAngle = line.angle();
    const double radius = line.length();
    const double step = sweep / divisions;
    painter.setFont(QFont(DisplayColors::gaugeFontFamily, 24));
    QColor color = Qt::black;
    for (int i = 0; i <= divisions; ++i) {
        line.setAngle(startAngle - i * step);
        if (i % 5 == 0) {
            painter.setPen(gaugePen(color, 4));
            line.setLength(radius + 30);
            painter.drawLine(line);
            if (i % 10 == 0) {
                QLineF toLabel = line;
                toLabel.setLength(radius + 50);
                QRectF labelBox(0, 0, 50, 50);
                labelBox.moveCenter(toLabel.p2());
                painter.drawText(labelBox, Qt::AlignCenter, QString::number(i / 10));
            }
        } else {
            painter.setPen(gaugePen(color, 2));
            line.setLength(radius + 15);
            painter.drawLine(line);
        }
        if (i + 1 >= firstRedTick)
            color = Qt::red;
    }
}

void NumberNeddleWidget::drawNeedle(QPainter &painter, const QRectF &circle, const QPointF &left,
    const QPointF &pivot, double sweep) const
{
    QLineF needle(circle.center(), left);
    const double angle = needle.angle() - sweep / scaleUnits * m_value;
    // A value without a direction (not a number, or beyond any angle) shows the hub alone.
    if (std::isfinite(angle)) {
        needle.setAngle(angle);
        painter.setPen(gaugePen(Qt::red, 2));
        painter.drawLine(pivot, needle.p2());
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    painter.drawEllipse(pivot, hubDiameter / 2, hubDiameter / 2);
}
