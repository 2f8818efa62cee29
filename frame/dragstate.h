// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef DRAGSTATE_H
#define DRAGSTATE_H

#include <QPoint>

class QEvent;
class QWidget;

// Left-button dragging of a frameless window. Each kind of window keeps its
// own instance, so one filter never continues a drag another one started.
//
// Once the pointer has travelled the platform's drag distance, a top-level
// window is handed to the compositor (QWindow::startSystemMove): under Wayland
// no client may place its own window. Where the platform refuses, the window
// goes on being moved by hand.
struct DragState
{
    bool dragging = false;
    bool systemMoveRefused = false;
    QPoint pressPosition;
    QPoint dragOffset;

    // Returns whether the event was consumed. A window that must stay put (a
    // maximised frame) passes allowMove = false yet still tracks the buttons.
    bool handle(QWidget *window, QEvent *event, bool allowMove = true);
};

#endif // DRAGSTATE_H
