// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef NEEDLEGRAPHICSELLIPSEITEM_H
#define NEEDLEGRAPHICSELLIPSEITEM_H

#include "abstractneedlegraphicsitem.h"
#include "quantitycolours.h"

// The needle page's dial: framed, with a logo, and with read-out boxes for voltage, power and
// current. Its fixed parts sit where they belong on the page's 1892 x 990 rectangle.
class NeedleGraphicsEllipseItem : public AbstractNeedleGraphicsItem
{
    Q_OBJECT

public:
    explicit NeedleGraphicsEllipseItem(QGraphicsItem *parent = nullptr);
    explicit NeedleGraphicsEllipseItem(const QRectF &rect, QGraphicsItem *parent = nullptr);
    NeedleGraphicsEllipseItem(
        qreal x, qreal y, qreal width, qreal height, QGraphicsItem *parent = nullptr);

    QString voltageText() const;
    QString powerText() const;
    QString currentText() const;

    // The read-out boxes' colours; each box's number in black or white, whichever reads better.
    void setQuantityColours(const QuantityColours &colours);

protected:
    QRectF innerRect(const QRectF &bounds) const override;
    qreal dialShift() const override;
    QRectF hubRect() const override;
    void paintFrame(QPainter *painter, const QRectF &bounds) override;
    void paintFixedParts(QPainter *painter) override;
    void paintReadouts(QPainter *painter) override;

private:
    void paintLogo(QPainter *painter);
    void paintBoxes(QPainter *painter);
    void paintUnits(QPainter *painter);

    QuantityColours m_colours = QuantityColours::standard();
};

#endif // NEEDLEGRAPHICSELLIPSEITEM_H
