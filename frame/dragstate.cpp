#include "dragstate.h"

#include <QMouseEvent>
#include <QWidget>

bool DragState::handle(QWidget *window, QEvent *event, bool allowMove)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() != Qt::LeftButton)
            return false;
        dragging = true;
        dragOffset = mouse->screenPos().toPoint() - window->pos();
        return true;
    }
    case QEvent::MouseButtonRelease:
        dragging = false;
        return true;
    case QEvent::MouseMove: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (!allowMove || !dragging || mouse->buttons() == Qt::NoButton)
            return false;
        window->move(mouse->globalPos() - dragOffset);
        return true;
    }
    default:
        return false;
    }
}
