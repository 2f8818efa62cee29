// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef OPAQUEPAINTBUFFER_H
#define OPAQUEPAINTBUFFER_H

#include <qcustomplot.h>

#include <QImage>

// The bottom buffer of a plot, cleared to the plot's own background instead of to transparent.
// A transparent buffer costs, with every replot, a fill of the widget with the background and a
// blend of every pixel over it; an opaque one is copied to the screen as it stands.
class OpaquePaintBuffer : public QCPAbstractPaintBuffer
{
public:
    OpaquePaintBuffer(const QSize &size, double devicePixelRatio, const QBrush *ground);

    QCPPainter *startPainting() override;
    void draw(QCPPainter *painter) const override;
    void clear(const QColor &color) override;

protected:
    void reallocateBuffer() override;

private:
    const QBrush *m_ground;
    QImage m_image;
};

#endif // OPAQUEPAINTBUFFER_H
