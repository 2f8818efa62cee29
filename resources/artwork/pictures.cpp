// SPDX-License-Identifier: GPL-3.0-or-later
#include "pictures.h"

#include <QConicalGradient>
#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace Pictures {

namespace {

const QColor White(255, 255, 255);

QImage canvas(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

void beginSmooth(QPainter &painter)
{
    painter.setRenderHints(
        QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
}

QPen roundPen(const QColor &color, qreal width)
{
    return QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// A bolt leaning right, in a unit box; scaled into the ring by drawLogo.
QPolygonF boltShape()
{
    return QPolygonF({{0.62, 0.00}, {0.18, 0.58}, {0.47, 0.58}, {0.36, 1.00}, {0.82, 0.40},
        {0.53, 0.40}, {0.70, 0.00}});
}

// The ammeter's circuit symbol (a ring on a wire) with a bolt in place of the
// usual "A", so the logo reads as "current" at any size. A zero wire length
// leaves the wire out.
void drawLogo(QPainter &painter, const QPointF &centre, qreal radius, qreal stroke,
    qreal wireLength, const QColor &color)
{
    painter.setPen(roundPen(color, stroke));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(centre, radius - stroke / 2, radius - stroke / 2);

    painter.setBrush(color);
    if (wireLength > 0) {
        const QPointF left(centre.x() - radius - wireLength, centre.y());
        const QPointF right(centre.x() + radius + wireLength, centre.y());
        painter.drawLine(left, QPointF(centre.x() - radius, centre.y()));
        painter.drawLine(QPointF(centre.x() + radius, centre.y()), right);
        painter.setPen(Qt::NoPen);
        const qreal terminal = stroke * 1.05;
        painter.drawEllipse(left, terminal, terminal);
        painter.drawEllipse(right, terminal, terminal);
    }

    painter.setPen(Qt::NoPen);
    const qreal height = 1.6 * (radius - stroke);
    const qreal width = 0.8 * height;
    QTransform toRing;
    toRing.translate(centre.x() - width / 2, centre.y() - height / 2);
    toRing.scale(width, height);
    painter.drawPolygon(toRing.map(boltShape()));
}

QImage circleBadge(const QColor &light, const QColor &dark)
{
    QImage image = canvas(68, 68);
    QPainter painter(&image);
    beginSmooth(painter);
    QLinearGradient fill(0, 3, 0, 65);
    fill.setColorAt(0, light);
    fill.setColorAt(1, dark);
    painter.setPen(QPen(dark.darker(115), 1.5));
    painter.setBrush(fill);
    painter.drawEllipse(QPointF(34, 34), 31, 31);
    painter.setPen(QPen(QColor(255, 255, 255, 70), 1.5));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(QPointF(34, 34), 28, 28);
    return image;
}

QPainterPath centredText(const QString &text, const QFont &font, const QRectF &box)
{
    QPainterPath path;
    path.addText(0, 0, font, text);
    const QRectF bounds = path.boundingRect();
    const qreal scale = qMin(box.width() / bounds.width(), box.height() / bounds.height());
    QTransform fit;
    fit.translate(box.center().x(), box.center().y());
    fit.scale(scale, scale);
    fit.translate(-bounds.center().x(), -bounds.center().y());
    return fit.map(path);
}

QFont boldSans()
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(100);
    font.setBold(true);
    return font;
}

} // namespace

QImage logo()
{
    QImage image = canvas(39, 27);
    QPainter painter(&image);
    beginSmooth(painter);
    drawLogo(painter, QPointF(19.5, 13.5), 12.5, 2.0, 5.4, White);
    return image;
}

QImage appIcon(int size)
{
    QImage image = canvas(size, size);
    QPainter painter(&image);
    beginSmooth(painter);

    const qreal inset = qMax(0.5, size * 0.03);
    const QRectF square(inset, inset, size - 2 * inset, size - 2 * inset);
    QLinearGradient ground(0, 0, 0, size);
    ground.setColorAt(0, QColor(0x24, 0x33, 0x44));
    ground.setColorAt(1, QColor(0x0E, 0x14, 0x1B));
    painter.setPen(size >= 48 ? QPen(QColor(0x3A, 0x4B, 0x5E), size / 64.0) : Qt::NoPen);
    painter.setBrush(ground);
    painter.drawRoundedRect(square, size * 0.2, size * 0.2);

    // Small icons get a proportionally bigger ring and thicker lines, or the
    // bolt melts into the ring; the tiniest drop the wire altogether.
    const QPointF centre(size / 2.0, size / 2.0);
    if (size <= 16)
        drawLogo(painter, centre, size * 0.40, 1.3, 0, White);
    else if (size <= 32)
        drawLogo(painter, centre, size * 0.34, size * 0.075, size * 0.06, White);
    else
        drawLogo(painter, centre, size * 0.30, size * 0.055, size * 0.08, White);
    return image;
}

QImage startButton()
{
    QImage image = canvas(12, 12);
    QPainter painter(&image);
    beginSmooth(painter);
    painter.setPen(roundPen(White, 1.0));
    painter.setBrush(White);
    painter.drawPolygon(QPolygonF({{3.0, 1.5}, {10.5, 6.0}, {3.0, 10.5}}));
    return image;
}

// The same white as the start triangle and the same inset, so the button keeps its weight.
QImage stopButton()
{
    QImage image = canvas(12, 12);
    QPainter painter(&image);
    beginSmooth(painter);
    painter.setPen(Qt::NoPen);
    painter.setBrush(White);
    painter.drawRoundedRect(QRectF(2, 2, 8, 8), 1.2, 1.2);
    return image;
}

QImage saveButton()
{
    QImage image = canvas(12, 12);
    QPainter painter(&image);
    beginSmooth(painter);
    painter.setPen(Qt::NoPen);
    painter.setBrush(White);
    painter.drawPolygon(QPolygonF({{1, 1}, {9, 1}, {11, 3}, {11, 11}, {1, 11}}));
    // Shutter and label are cut out, so the disk shows the button colour through them.
    painter.setCompositionMode(QPainter::CompositionMode_Clear);
    painter.drawRect(QRectF(3, 1, 5, 3.5));
    painter.drawRect(QRectF(3, 6.5, 6, 3.5));
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.drawRect(QRectF(6, 1.5, 1.2, 2.3));
    return image;
}

QImage returnButton()
{
    QImage image = canvas(12, 12);
    QPainter painter(&image);
    beginSmooth(painter);
    // Clockwise from three o'clock round to twelve, where the head points on
    // in the direction of travel.
    const QRectF circle(2.2, 2.9, 7.6, 7.6);
    painter.setPen(roundPen(White, 1.5));
    painter.drawArc(circle, 0, -270 * 16);
    painter.setPen(Qt::NoPen);
    painter.setBrush(White);
    const qreal top = circle.top();
    painter.drawPolygon(QPolygonF({{5.4, top - 2.6}, {9.2, top}, {5.4, top + 2.6}}));
    return image;
}

QImage compareButton()
{
    QImage image = canvas(12, 12);
    QPainter painter(&image);
    beginSmooth(painter);
    painter.setPen(Qt::NoPen);
    painter.setBrush(White);
    painter.drawPath(centredText(QStringLiteral("VS"), boldSans(), QRectF(0.3, 2.5, 11.4, 7)));
    return image;
}

QImage colourWheel()
{
    QImage image = canvas(800, 800);
    QPainter painter(&image);
    beginSmooth(painter);
    const QPointF centre(400, 400);
    QConicalGradient hues(centre, 0);
    for (int step = 0; step <= 6; ++step)
        hues.setColorAt(step / 6.0, QColor::fromHsv((step * 60) % 360, 255, 255));
    painter.setPen(Qt::NoPen);
    painter.setBrush(hues);
    painter.drawEllipse(centre, 396, 396);
    return image;
}

QImage messageInfo()
{
    QImage image = circleBadge(QColor(0x4A, 0xA8, 0xFF), QColor(0x1F, 0x6F, 0xD1));
    QPainter painter(&image);
    beginSmooth(painter);
    painter.setPen(Qt::NoPen);
    painter.setBrush(White);
    painter.drawEllipse(QPointF(34, 19.5), 4.5, 4.5);
    painter.drawRoundedRect(QRectF(30.2, 27, 7.6, 22), 2.5, 2.5);
    return image;
}

QImage messageQuestion()
{
    QImage image = circleBadge(QColor(0x3C, 0xD1, 0x9A), QColor(0x12, 0x9A, 0x6A));
    QPainter painter(&image);
    beginSmooth(painter);
    painter.setPen(Qt::NoPen);
    painter.setBrush(White);
    painter.drawPath(centredText(QStringLiteral("?"), boldSans(), QRectF(20, 16, 28, 36)));
    return image;
}

QImage messageError()
{
    QImage image = circleBadge(QColor(0xFF, 0x6B, 0x6B), QColor(0xC9, 0x24, 0x2C));
    QPainter painter(&image);
    beginSmooth(painter);
    painter.setPen(roundPen(White, 6.5));
    painter.drawLine(QPointF(24.5, 24.5), QPointF(43.5, 43.5));
    painter.drawLine(QPointF(43.5, 24.5), QPointF(24.5, 43.5));
    return image;
}

QImage okButton()
{
    QImage image = canvas(118, 120);
    QPainter painter(&image);
    beginSmooth(painter);
    painter.setPen(roundPen(QColor(0x2B, 0xB6, 0x73), 17));
    painter.setBrush(Qt::NoBrush);
    painter.drawPolyline(QPolygonF({{20, 62}, {47, 89}, {98, 32}}));
    return image;
}

QImage closeButton()
{
    QImage image = canvas(118, 120);
    QPainter painter(&image);
    beginSmooth(painter);
    painter.setPen(roundPen(QColor(0xE5, 0x48, 0x4D), 17));
    painter.drawLine(QPointF(27, 29), QPointF(91, 93));
    painter.drawLine(QPointF(91, 29), QPointF(27, 93));
    return image;
}

QImage arrow(Direction direction, const QColor &color)
{
    QImage image = canvas(10, 10);
    QPainter painter(&image);
    beginSmooth(painter);
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    QTransform turn;
    turn.translate(5, 5);
    switch (direction) {
    case Direction::Up:
        break;
    case Direction::Down:
        turn.rotate(180);
        break;
    case Direction::Left:
        turn.rotate(-90);
        break;
    case Direction::Right:
        turn.rotate(90);
        break;
    }
    painter.drawPolygon(turn.map(QPolygonF({{-4, 2.2}, {0, -2.2}, {4, 2.2}})));
    return image;
}

QImage checkBox(bool checked, const QColor &frame, const QColor &highlight)
{
    QImage image = canvas(13, 13);
    QPainter painter(&image);
    beginSmooth(painter);
    const QRectF box(0.5, 0.5, 12, 12);
    if (!checked) {
        painter.setPen(QPen(frame, 1));
        painter.drawRoundedRect(box, 2, 2);
        return image;
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(highlight);
    painter.drawRoundedRect(box, 2, 2);
    painter.setPen(roundPen(White, 1.7));
    painter.drawPolyline(QPolygonF({{3.2, 6.6}, {5.5, 9.0}, {9.9, 3.8}}));
    return image;
}

QImage radioButton(bool checked, const QColor &frame, const QColor &highlight)
{
    QImage image = canvas(15, 15);
    QPainter painter(&image);
    beginSmooth(painter);
    const QPointF centre(7.5, 7.5);
    painter.setPen(QPen(checked ? highlight : frame, 1.2));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(centre, 6.6, 6.6);
    if (checked) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(highlight);
        painter.drawEllipse(centre, 3.6, 3.6);
    }
    return image;
}

} // namespace Pictures
