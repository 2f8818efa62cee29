// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef GRAPHICSVIEWITEMWIDGET_H
#define GRAPHICSVIEWITEMWIDGET_H

#include <QGraphicsView>

// A view that shows one item scaled to fit, whatever the view's size.
class GraphicsViewItemWidget : public QGraphicsView
{
    Q_OBJECT

public:
    explicit GraphicsViewItemWidget(QWidget *parent = nullptr);
    // The scene passed in is not used: the view always shows a scene of its own.
    explicit GraphicsViewItemWidget(QGraphicsScene *scene, QWidget *parent = nullptr);

    void setItem(QGraphicsItem *item);
    QGraphicsItem *item() const { return m_item; }

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void createScene();

    QGraphicsItem *m_item = nullptr;
};

#endif // GRAPHICSVIEWITEMWIDGET_H
