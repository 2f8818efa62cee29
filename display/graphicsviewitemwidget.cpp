// SPDX-License-Identifier: GPL-3.0-or-later
#include "graphicsviewitemwidget.h"

#include <QGraphicsScene>

GraphicsViewItemWidget::GraphicsViewItemWidget(QWidget *parent)
    : QGraphicsView(parent)
{
    createScene();
}

GraphicsViewItemWidget::GraphicsViewItemWidget(QGraphicsScene *scene, QWidget *parent)
    : QGraphicsView(parent)
{
    Q_UNUSED(scene)
    createScene();
}

void GraphicsViewItemWidget::createScene()
{
    auto *ownScene = new QGraphicsScene(this);
    ownScene->setBackgroundBrush(Qt::white);
    setScene(ownScene);
    // The scene's opaque background fills every pixel the view exposes, so neither the
    // viewport's own fill nor the widgets behind it need painting at each step of a needle.
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
}

void GraphicsViewItemWidget::setItem(QGraphicsItem *item)
{
    m_item = item;
    scene()->addItem(item);
    setStyleSheet("border: none;");
}

void GraphicsViewItemWidget::resizeEvent(QResizeEvent *event)
{
    if (m_item)
        fitInView(m_item, Qt::KeepAspectRatio);
    QGraphicsView::resizeEvent(event);
}
