// SPDX-License-Identifier: GPL-3.0-or-later
#include "opaquepaintbuffer.h"

OpaquePaintBuffer::OpaquePaintBuffer(
    const QSize &size, double devicePixelRatio, const QBrush *ground)
    : QCPAbstractPaintBuffer(size, devicePixelRatio)
    , m_ground(ground)
{
    reallocateBuffer();
}

QCPPainter *OpaquePaintBuffer::startPainting()
{
    return new QCPPainter(&m_image);
}

void OpaquePaintBuffer::draw(QCPPainter *painter) const
{
    if (painter && painter->isActive())
        painter->drawImage(0, 0, m_image);
}

// Asked for transparent, as every bottom buffer is, it takes the background that would have been
// painted under it: the program's plots all have a plain colour for a background.
void OpaquePaintBuffer::clear(const QColor &)
{
    m_image.fill(m_ground->color());
}

void OpaquePaintBuffer::reallocateBuffer()
{
    setInvalidated();
    m_image = QImage(mSize * mDevicePixelRatio, QImage::Format_RGB32);
    m_image.setDevicePixelRatio(mDevicePixelRatio);
}
