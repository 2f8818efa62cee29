// SPDX-License-Identifier: GPL-3.0-or-later
#include "needlegraphicsellipsenotextitem.h"

NeedleGraphicsEllipseNoTextItem::NeedleGraphicsEllipseNoTextItem(QGraphicsItem *parent)
    : AbstractNeedleGraphicsItem(parent)
{ }

NeedleGraphicsEllipseNoTextItem::NeedleGraphicsEllipseNoTextItem(
    const QRectF &rect, QGraphicsItem *parent)
    : AbstractNeedleGraphicsItem(rect, parent)
{ }

NeedleGraphicsEllipseNoTextItem::NeedleGraphicsEllipseNoTextItem(
    qreal x, qreal y, qreal width, qreal height, QGraphicsItem *parent)
    : AbstractNeedleGraphicsItem(x, y, width, height, parent)
{ }

QRectF NeedleGraphicsEllipseNoTextItem::innerRect(const QRectF &bounds) const
{
    // Larger than the item: the scales reach past its edges and only the arc's top shows, and
    // the needle must not be cut where it passes over them.
    return bounds.adjusted(-96, -96, 96, 96);
}

qreal NeedleGraphicsEllipseNoTextItem::dialShift() const
{
    return 0;
}

QRectF NeedleGraphicsEllipseNoTextItem::hubRect() const
{
    return QRectF(914, 900, 64, 64);
}
