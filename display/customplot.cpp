// SPDX-License-Identifier: GPL-3.0-or-later
#include "customplot.h"

#include "opaquepaintbuffer.h"

#include <utility>

CustomPlot::CustomPlot(QWidget *parent)
    : QCustomPlot(parent)
{
    // The plot keeps the buffers it finds and makes only those it lacks: this one stays the
    // bottom one, under any layer that asks for a buffer of its own.
    mPaintBuffers.append(QSharedPointer<QCPAbstractPaintBuffer>(
        new OpaquePaintBuffer(viewport().size(), bufferDevicePixelRatio(), &mBackgroundBrush)));
}

void CustomPlot::paintEvent(QPaintEvent *event)
{
    // The bottom buffer holds the background already and covers the whole plot.
    const QBrush ground = std::exchange(mBackgroundBrush, QBrush(Qt::NoBrush));
    QCustomPlot::paintEvent(event);
    mBackgroundBrush = ground;
}

// A style sheet that gives the plot a border or a background (a box's sheet without a selector
// reaches the plot inside it) takes away the plot's promise to paint all of itself, which it keeps
// whatever the sheet says. Without it the window paints everything under the plot again with
// every measurement.
bool CustomPlot::event(QEvent *event)
{
    const bool handled = QCustomPlot::event(event);
    if (event->type() == QEvent::Polish || event->type() == QEvent::StyleChange)
        setAttribute(Qt::WA_OpaquePaintEvent);
    return handled;
}
