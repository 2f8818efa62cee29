// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef NEEDLEGRAPHICSELLIPSENOTEXTITEM_H
#define NEEDLEGRAPHICSELLIPSENOTEXTITEM_H

#include "abstractneedlegraphicsitem.h"

// The dial alone, with scales enlarged to fill the item, for the page that shows the curve
// beside it and the numbers below it.
class NeedleGraphicsEllipseNoTextItem : public AbstractNeedleGraphicsItem
{
    Q_OBJECT

public:
    explicit NeedleGraphicsEllipseNoTextItem(QGraphicsItem *parent = nullptr);
    explicit NeedleGraphicsEllipseNoTextItem(const QRectF &rect, QGraphicsItem *parent = nullptr);
    NeedleGraphicsEllipseNoTextItem(
        qreal x, qreal y, qreal width, qreal height, QGraphicsItem *parent = nullptr);

protected:
    QRectF innerRect(const QRectF &bounds) const override;
    qreal dialShift() const override;
    QRectF hubRect() const override;
};

#endif // NEEDLEGRAPHICSELLIPSENOTEXTITEM_H
