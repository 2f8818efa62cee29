// SPDX-License-Identifier: GPL-3.0-or-later
#include "abstractneedlegraphicsitem.h"

#include <algorithm>

#include <QFont>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QLineF>
#include <QPainter>
#include <QPainterPath>
#include <QPropertyAnimation>
#include <QStyleOptionGraphicsItem>

namespace {

// A sweep's repaints at most thirty times a second.
constexpr int SweepFrameMs = 33;

constexpr QPainter::RenderHints kRenderHints
    = QPainter::SmoothPixmapTransform | QPainter::TextAntialiasing | QPainter::Antialiasing;

QPen roundPen(const QColor &color, qreal width)
{
    return QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

QPen squarePen(const QColor &color, qreal width)
{
    return QPen(color, width, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin);
}

} // namespace

AbstractNeedleGraphicsItem::AbstractNeedleGraphicsItem(QGraphicsItem *parent)
    : QGraphicsEllipseItem(parent)
{
    createAnimation();
}

AbstractNeedleGraphicsItem::AbstractNeedleGraphicsItem(const QRectF &rect, QGraphicsItem *parent)
    : QGraphicsEllipseItem(rect, parent)
{
    createAnimation();
}

AbstractNeedleGraphicsItem::AbstractNeedleGraphicsItem(
    qreal x, qreal y, qreal width, qreal height, QGraphicsItem *parent)
    : QGraphicsEllipseItem(x, y, width, height, parent)
{
    createAnimation();
}

void AbstractNeedleGraphicsItem::createAnimation()
{
    // Gives paint() the part actually exposed, see there.
    setFlag(QGraphicsItem::ItemUsesExtendedStyleOption);
    m_animation = new QPropertyAnimation(this, "needleAngle", this);
    m_animation->setDuration(300);
}

void AbstractNeedleGraphicsItem::setValue(double value)
{
    m_needleExtension = extensionForValue(value);
    const double from = angleForValue(m_lastValue);
    const double to = angleForValue(value);
    m_lastValue = value;
    m_value = value;

    // The needle restarts from the previous value rather than from where it stands, so at
    // ten measurements a second it always sweeps the whole step between two readings.
    m_animation->stop();
    if (m_reduceMotion) {
        m_sweepPending = false;
        setNeedleAngle(to);
        update();
        return;
    }
    m_animation->setStartValue(from);
    m_animation->setEndValue(to);
    if (!isOnScreen()) {
        // The dials of the pages not shown would otherwise be swept and repainted for nobody;
        // showing a view paints it whole, and the clock lets that first frame stand where the
        // sweep would have.
        m_sweepPending = true;
        m_sweepClock.start();
        return;
    }
    m_sweepPending = false;
    m_animation->start();
    update();
}

void AbstractNeedleGraphicsItem::setReduceMotion(bool reduce)
{
    m_reduceMotion = reduce;
}

bool AbstractNeedleGraphicsItem::isOnScreen() const
{
    // An item outside any view (drawn straight onto an image) counts as shown.
    const QList<QGraphicsView *> views = scene() ? scene()->views() : QList<QGraphicsView *>();
    return views.isEmpty()
        || std::any_of(views.cbegin(), views.cend(),
            [](const QGraphicsView *view) { return view->isVisible(); });
}

void AbstractNeedleGraphicsItem::catchUpSweep()
{
    m_sweepPending = false;
    const qint64 elapsed = m_sweepClock.elapsed();
    if (elapsed >= m_animation->duration()) {
        m_needleAngle = m_animation->endValue().toDouble();
        return;
    }
    m_animation->start();
    m_animation->setCurrentTime(int(elapsed));
}

void AbstractNeedleGraphicsItem::setNeedleAngle(double angle)
{
    // The animation steps about sixty times a second for as long as a meter is connected, and
    // between measurements only the needle moves: repainting the strip it leaves and the one it
    // enters, not the whole dial, keeps the needle page cheap. Thirty of those a second look as
    // smooth at a needle's pace for half the repaints; a sweep's last step is always shown. The
    // read-outs are repainted with each measurement by setValue().
    const bool sweeping = m_animation->state() == QAbstractAnimation::Running;
    const int at = sweeping ? m_animation->currentTime() : 0;
    if (sweeping && at > 0 && at - m_movedAt < SweepFrameMs
        && angle != m_animation->endValue().toDouble())
        return;
    m_movedAt = at;
    const QRectF before = needleBounds();
    m_needleAngle = angle;
    update(before.united(needleBounds()));
}

void AbstractNeedleGraphicsItem::onParameterChanged(float voltage, float current, float power)
{
    m_voltage = voltage;
    m_current = current;
    m_power = power;
    // The scale's square is only known once the dial has been drawn, so there is no angle to
    // aim the needle at before the first paint. The read-outs must not wait for it: on a busy
    // machine the zero sent at start-up comes before that paint, and dropping it would leave
    // the placeholder reading on screen until a meter answers. The needle follows at the
    // first paint.
    if (m_outerArcRect.isNull()) {
        m_needlePending = true;
        update();
        return;
    }
    setValue(current);
}

double AbstractNeedleGraphicsItem::extensionForValue(double value) const
{
    if (value <= m_range1)
        return 24.0;
    if (value <= m_range2)
        return -10.0;
    if (value <= m_range3)
        return -110.0;
    return m_needleExtension;
}

double AbstractNeedleGraphicsItem::angleForValue(double value) const
{
    double range = 0.0;
    if (value <= m_range1)
        range = m_range1;
    else if (value <= m_range2)
        range = m_range2;
    else if (value <= m_range3)
        range = m_range3;
    else
        return 0.0;

    const double angle = value * m_spanAngle / range + m_startAngle;
    QPainterPath path;
    path.arcMoveTo(m_outerArcRect, angle);
    return QLineF(m_outerArcRect.center(), path.currentPosition()).angle();
}

void AbstractNeedleGraphicsItem::resetBackground()
{
    m_background = QPixmap();
    m_scaledBackground = QPixmap();
}

AbstractNeedleGraphicsItem::Geometry AbstractNeedleGraphicsItem::geometry() const
{
    Geometry g;
    g.inner = innerRect(boundingRect());
    g.outer = QRectF(g.inner.x(), g.inner.y() + 200, g.inner.width(), g.inner.width());
    g.innerScale = g.outer.adjusted(100, 100, -100, -100);
    g.centre = g.outer.center();
    return g;
}

QPointF AbstractNeedleGraphicsItem::pointAt(const QPointF &centre, double angle, double radius)
{
    return QLineF::fromPolar(radius, angle).translated(centre).p2();
}

double AbstractNeedleGraphicsItem::stepAngle(int step, int steps) const
{
    return m_startAngle + step * m_spanAngle / steps;
}

void AbstractNeedleGraphicsItem::paint(
    QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget)
{
    Q_UNUSED(widget)
    if (m_background.isNull())
        buildBackground();
    if (m_background.isNull())
        return;
    if (m_needlePending) {
        // A dial first drawn after the readings began stands at the reading: sweeping up
        // from zero, it would show for its first frames a current nobody measured.
        m_needlePending = false;
        m_lastValue = m_current;
        setValue(m_current);
    }
    if (m_sweepPending)
        catchUpSweep();

    painter->setRenderHints(kRenderHints);
    paintBackground(painter);
    // Between two measurements only the needle's strip is repainted, about sixty times a
    // second; the read-outs' large texts would be laid out and rasterised each time only to be
    // clipped away.
    const QRectF exposed = option ? option->exposedRect : boundingRect();
    if (exposed.intersects(m_voltageBox) || exposed.intersects(m_powerBox)
        || exposed.intersects(m_currentBox))
        paintReadouts(painter);
    paintNeedle(painter, geometry());
}

void AbstractNeedleGraphicsItem::buildBackground()
{
    const QRectF bounds = boundingRect();
    const QSize size(int(bounds.width()), int(bounds.height()));
    if (size.isEmpty())
        return;

    m_background = QPixmap(size);
    m_background.fill(m_backgroundColor);
    m_scaledBackground = QPixmap();

    QPainter painter(&m_background);
    painter.setRenderHints(kRenderHints);
    paintFrame(&painter, bounds);

    const Geometry g = geometry();
    if (m_outerArcRect.isNull())
        m_outerArcRect = g.outer;

    painter.translate(0, dialShift());
    paintScales(&painter, g);
    painter.translate(0, -dialShift());
    paintFixedParts(&painter);
}

void AbstractNeedleGraphicsItem::paintFrame(QPainter *painter, const QRectF &bounds)
{
    painter->fillRect(bounds.adjusted(3, 3, -3, -3), m_backgroundColor);
}

void AbstractNeedleGraphicsItem::paintScales(QPainter *painter, const Geometry &g)
{
    paintArcs(painter, g);
    paintMilliampDots(painter, g);
    paintMiddleTicks(painter, g);
    paintInnerTicks(painter, g);
    paintLabels(painter, g);
}

void AbstractNeedleGraphicsItem::paintArcs(QPainter *painter, const Geometry &g)
{
    painter->setBrush(Qt::NoBrush);
    QPainterPath outerArc;
    outerArc.arcMoveTo(g.outer, m_startAngle);
    outerArc.arcTo(g.outer, m_startAngle, m_spanAngle);
    painter->strokePath(outerArc, roundPen(m_outerArcColor, m_outerArcWidth));

    QPainterPath innerArc;
    innerArc.arcMoveTo(g.innerScale, m_startAngle);
    innerArc.arcTo(g.innerScale, m_startAngle, m_spanAngle);
    painter->strokePath(innerArc, roundPen(m_innerArcColor, m_innerArcWidth));
}

void AbstractNeedleGraphicsItem::paintMilliampDots(QPainter *painter, const Geometry &g)
{
    const qreal radius = g.outer.width() / 2 + 24;
    painter->setPen(Qt::NoPen);
    painter->setBrush(m_milliampDotColor);
    for (int i = 0; i <= 50; ++i) {
        const qreal diameter = i % 5 == 0 ? 20 : 10;
        painter->drawEllipse(
            pointAt(g.centre, stepAngle(i, 50), radius), diameter / 2, diameter / 2);
    }
    painter->setBrush(Qt::NoBrush);
}

void AbstractNeedleGraphicsItem::paintMiddleTicks(QPainter *painter, const Geometry &g)
{
    const qreal radius = g.outer.width() / 2;
    painter->setPen(roundPen(m_middleTickColor, 8));
    for (int i = 0; i <= 40; ++i) {
        const double angle = stepAngle(i, 40);
        const qreal from = radius - (i % 5 == 0 ? 24 : 18);
        painter->drawLine(pointAt(g.centre, angle, from), pointAt(g.centre, angle, radius - 10));
    }
}

void AbstractNeedleGraphicsItem::paintInnerTicks(QPainter *painter, const Geometry &g)
{
    const qreal radius = g.innerScale.width() / 2;
    for (int i = 0; i <= 100; i += 5) {
        const bool major = i % 10 == 0;
        const double angle = stepAngle(i, 100);
        painter->setPen(roundPen(m_innerTickColor, major ? 10 : 6));
        painter->drawLine(pointAt(g.centre, angle, radius - (major ? 15 : 10)),
            pointAt(g.centre, angle, radius + 5));
    }
}

void AbstractNeedleGraphicsItem::paintLabels(QPainter *painter, const Geometry &g)
{
    painter->setPen(squarePen(m_innerLabelColor, 8));
    painter->setFont(QFont(DisplayColors::gaugeFontFamily, 32));
    for (int i = 0; i <= 100; i += 10) {
        const QString text = QString::number(i * 0.05, 'g', 6) + (i == 100 ? "A" : "");
        paintLabel(painter, g.centre, stepAngle(i, 100), g.innerScale.width() - 40, text);
    }

    painter->setPen(squarePen(m_middleLabelColor, 8));
    painter->setFont(QFont(DisplayColors::gaugeFontFamily, 24));
    for (int i = 0; i <= 40; i += 5) {
        const QString text = QString::number(i * 0.05, 'g', 6) + (i == 40 ? "A" : "");
        paintLabel(painter, g.centre, stepAngle(i, 40), g.outer.width() - 60, text);
    }

    painter->setPen(squarePen(m_milliampLabelColor, 8));
    painter->setFont(QFont(DisplayColors::gaugeFontFamily, 32));
    for (int i = 0; i <= 50; i += 5) {
        const QString text = QString::number(i * 6) + (i == 50 ? "mA" : "");
        paintLabel(painter, g.centre, stepAngle(i, 50), g.outer.width() + 180, text);
    }
}

void AbstractNeedleGraphicsItem::paintLabel(
    QPainter *painter, const QPointF &centre, double angle, qreal side, const QString &text)
{
    // Turned so that the text stands upright along its radius, reading from outside.
    painter->save();
    painter->translate(centre);
    painter->rotate(90.0 - angle);
    painter->drawText(
        QRectF(-side / 2, -side / 2, side, side), Qt::AlignHCenter | Qt::AlignTop, text);
    painter->restore();
}

void AbstractNeedleGraphicsItem::paintFixedParts(QPainter *painter)
{
    painter->setPen(Qt::NoPen);
    painter->setBrush(Qt::white);
    painter->drawEllipse(hubRect());
    painter->setBrush(Qt::NoBrush);
}

void AbstractNeedleGraphicsItem::paintReadouts(QPainter *painter)
{
    Q_UNUSED(painter)
}

void AbstractNeedleGraphicsItem::paintBackground(QPainter *painter)
{
    // Maps to the widget's device pixels: the screen's scale factor is already in it.
    const QTransform toDevice = painter->combinedTransform();
    const bool scaledOnly
        = toDevice.type() == QTransform::TxScale && toDevice.m11() > 0 && toDevice.m22() > 0;
    if (!scaledOnly) {
        painter->drawPixmap(QPointF(0, 0), m_background);
        return;
    }

    // Filtering the whole dial down to a view's size costs more than all the rest of a frame,
    // and the animation repaints up to sixty times a second; resample once per view size.
    // The copy is kept in device pixels and drawn onto exactly as many device pixels, so that
    // with a fractional screen scale it is blitted, not scaled a second time.
    const QRectF target = toDevice.mapRect(QRectF(QPointF(0, 0), m_background.size()));
    const QSize pixelSize = target.size().toSize();
    updateScaledBackground(pixelSize);

    const qreal ratio = painter->device()->devicePixelRatioF();
    const QPointF devicePosition(qRound(target.x()), qRound(target.y()));
    painter->save();
    painter->resetTransform();
    painter->drawPixmap(QRectF(devicePosition / ratio, QSizeF(pixelSize) / ratio),
        m_scaledBackground, QRectF(QPointF(0, 0), QSizeF(pixelSize)));
    painter->restore();
}

void AbstractNeedleGraphicsItem::updateScaledBackground(const QSize &pixelSize)
{
    if (m_scaledBackground.size() == pixelSize)
        return;

    QImage image(pixelSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHints(kRenderHints);
    painter.scale(qreal(pixelSize.width()) / m_background.width(),
        qreal(pixelSize.height()) / m_background.height());
    painter.drawPixmap(0, 0, m_background);
    painter.end();

    // The dial is opaque, and an opaque copy is copied row by row where one with an alpha
    // channel is blended pixel by pixel.
    bool opaque = true;
    for (int y = 0; y < image.height() && opaque; ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        opaque = std::all_of(line, line + image.width(), [](QRgb p) { return qAlpha(p) == 255; });
    }
    m_scaledBackground
        = QPixmap::fromImage(opaque ? image.convertToFormat(QImage::Format_RGB32) : image);
}

QPointF AbstractNeedleGraphicsItem::needleTip(const Geometry &g) const
{
    QLineF needle(g.centre, QPointF(g.centre.x(), g.outer.y()));
    needle.setLength(needle.length() + m_needleExtension);
    needle.setAngle(m_needleAngle);
    return needle.p2() + QPointF(0, dialShift());
}

QRectF AbstractNeedleGraphicsItem::needleBounds() const
{
    // Wide enough for the pen's square caps and the antialiased edge.
    const qreal margin = m_needleWidth + 2;
    return QRectF(hubRect().center(), needleTip(geometry()))
        .normalized()
        .adjusted(-margin, -margin, margin, margin);
}

void AbstractNeedleGraphicsItem::paintNeedle(QPainter *painter, const Geometry &g)
{
    // Clipping rasterises the clip's outline at every frame, a large part of the frame's cost,
    // and the needle rarely comes near the clip's edges.
    if (!g.inner.contains(needleBounds()))
        painter->setClipRect(g.inner, Qt::ReplaceClip);
    painter->setPen(squarePen(m_needleColor, m_needleWidth));
    painter->drawLine(hubRect().center(), needleTip(g));
}
