// SPDX-License-Identifier: GPL-3.0-or-later
#include "needlegraphicsellipseitem.h"

#include "contrast.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

namespace {

QFont boldGaugeFont(int pointSize)
{
    QFont font(DisplayColors::gaugeFontFamily, pointSize);
    font.setWeight(QFont::Bold);
    return font;
}

QPainterPath logoPath()
{
    QPainterPath path;
    path.addPolygon(
        QPolygonF({{175, 334}, {235, 334}, {247, 313}, {261, 342}, {281, 306}, {295, 340},
            {323, 255}, {354, 374}, {381, 303}, {390, 328}, {403, 313}, {413, 331}, {470, 331}}));
    path.moveTo(175, 350);
    path.lineTo(235, 350);
    path.moveTo(413, 347);
    path.lineTo(470, 347);
    return path.translated(QPointF(20, 30) - path.boundingRect().topLeft());
}

} // namespace

NeedleGraphicsEllipseItem::NeedleGraphicsEllipseItem(QGraphicsItem *parent)
    : AbstractNeedleGraphicsItem(parent)
{
    setQuantityColours(m_colours);
}

NeedleGraphicsEllipseItem::NeedleGraphicsEllipseItem(const QRectF &rect, QGraphicsItem *parent)
    : AbstractNeedleGraphicsItem(rect, parent)
{
    setQuantityColours(m_colours);
}

NeedleGraphicsEllipseItem::NeedleGraphicsEllipseItem(
    qreal x, qreal y, qreal width, qreal height, QGraphicsItem *parent)
    : AbstractNeedleGraphicsItem(x, y, width, height, parent)
{
    setQuantityColours(m_colours);
}

// White numbers on the standard boxes read at well under 2 : 1 on the light green voltage
// box; black or white by the box's own lightness keeps every number readable.
void NeedleGraphicsEllipseItem::setQuantityColours(const QuantityColours &colours)
{
    m_colours = colours;
    m_voltageTextColor = Contrast::textOn(colours.voltage);
    m_powerTextColor = Contrast::textOn(colours.power);
    m_currentTextColor = Contrast::textOn(colours.current);
    resetBackground();
    update();
}

QString NeedleGraphicsEllipseItem::voltageText() const
{
    return QString::number(m_voltage, 'f', 3);
}

QString NeedleGraphicsEllipseItem::powerText() const
{
    return QString::number(m_power, 'f', 3);
}

QString NeedleGraphicsEllipseItem::currentText() const
{
    // Whole milliamperes, cut rather than rounded; bounded so that no reading overflows.
    return QString::number(qint64(qBound(-1e15, m_current * 1000, 1e15)));
}

QRectF NeedleGraphicsEllipseItem::innerRect(const QRectF &bounds) const
{
    return bounds.adjusted(4, 4, -4, -4);
}

qreal NeedleGraphicsEllipseItem::dialShift() const
{
    // Raises the dial so that its top labels clear the frame and the boxes fit below the hub.
    return -60;
}

QRectF NeedleGraphicsEllipseItem::hubRect() const
{
    return QRectF(914, 638, 64, 64);
}

void NeedleGraphicsEllipseItem::paintFrame(QPainter *painter, const QRectF &bounds)
{
    AbstractNeedleGraphicsItem::paintFrame(painter, bounds);
    painter->setPen(QPen(m_frameColor, 4, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
    painter->setBrush(Qt::NoBrush);
    painter->drawRoundedRect(bounds.adjusted(2, 2, -2, -2), 40, 40);
    paintLogo(painter);
}

void NeedleGraphicsEllipseItem::paintLogo(QPainter *painter)
{
    painter->strokePath(
        logoPath(), QPen(QColor("#1A9FFE"), 8, Qt::SolidLine, Qt::RoundCap, Qt::MiterJoin));
}

void NeedleGraphicsEllipseItem::paintFixedParts(QPainter *painter)
{
    AbstractNeedleGraphicsItem::paintFixedParts(painter);
    m_voltageBox = QRectF(1550, 36, 240, 80);
    m_powerBox = QRectF(1550, 146, 240, 80);
    m_currentBox = QRectF(700, 780, 480, 170);
    paintBoxes(painter);
    paintUnits(painter);
}

void NeedleGraphicsEllipseItem::paintBoxes(QPainter *painter)
{
    painter->setPen(Qt::NoPen);
    const auto fillBox = [painter](const QRectF &box, const QColor &color) {
        painter->setBrush(color);
        painter->drawRoundedRect(box, 8, 8);
    };
    fillBox(m_voltageBox, m_colours.voltage);
    fillBox(m_powerBox, m_colours.power);
    fillBox(m_currentBox, m_colours.current);
    painter->setBrush(Qt::NoBrush);
}

void NeedleGraphicsEllipseItem::paintUnits(QPainter *painter)
{
    painter->setFont(boldGaugeFont(50));
    painter->setPen(QPen(Qt::white, 1));
    const auto beside = [](const QRectF &box, qreal dx, qreal dy) {
        return QRectF(box.x() + box.width() + dx, box.y() + dy, box.width(), box.height());
    };
    painter->drawText(beside(m_voltageBox, 16, 0), Qt::AlignLeft | Qt::AlignVCenter, "V");
    painter->drawText(beside(m_powerBox, 16, 0), Qt::AlignLeft | Qt::AlignVCenter, "W");
    painter->drawText(beside(m_currentBox, 40, 16), Qt::AlignLeft | Qt::AlignBottom, "mA");
}

void NeedleGraphicsEllipseItem::paintReadouts(QPainter *painter)
{
    painter->setFont(boldGaugeFont(50));
    painter->setPen(m_voltageTextColor);
    painter->drawText(m_voltageBox, Qt::AlignCenter, voltageText());
    painter->setPen(m_powerTextColor);
    painter->drawText(m_powerBox, Qt::AlignCenter, powerText());
    painter->setFont(boldGaugeFont(100));
    painter->setPen(m_currentTextColor);
    painter->drawText(m_currentBox, Qt::AlignCenter, currentText());
}
