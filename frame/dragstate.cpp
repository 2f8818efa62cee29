// SPDX-License-Identifier: GPL-3.0-or-later
#include "dragstate.h"
#include "mouseposition.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

namespace {

bool startSystemMove(QWidget *window)
{
    QWindow *handle = window->isWindow() ? window->windowHandle() : nullptr;
    return handle && handle->startSystemMove();
}

} // namespace

bool DragState::handle(QWidget *window, QEvent *event, bool allowMove)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() != Qt::LeftButton)
            return false;
        dragging = true;
        systemMoveRefused = false;
        pressPosition = MousePosition::global(mouse);
        dragOffset = pressPosition - window->pos();
        return true;
    }
    case QEvent::MouseButtonRelease:
        dragging = false;
        return true;
    case QEvent::MouseMove: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (!allowMove || !dragging || mouse->buttons() == Qt::NoButton)
            return false;
        const QPoint position = MousePosition::global(mouse);
        // A click that jitters by a pixel stays a click (and a double-click
        // still maximises) instead of becoming a compositor move.
        if (!systemMoveRefused
            && (position - pressPosition).manhattanLength() >= QApplication::startDragDistance()) {
            if (startSystemMove(window)) {
                // The compositor owns the pointer until the button comes up
                // and need not pass the release on.
                dragging = false;
                return true;
            }
            systemMoveRefused = true;
        }
        window->move(position - dragOffset);
        return true;
    }
    default:
        return false;
    }
}
