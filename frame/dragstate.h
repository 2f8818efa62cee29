#ifndef DRAGSTATE_H
#define DRAGSTATE_H

#include <QPoint>

class QEvent;
class QWidget;

// Left-button dragging of a frameless window. Each kind of window keeps its
// own instance, so one filter never continues a drag another one started.
struct DragState
{
    bool dragging = false;
    QPoint dragOffset;

    // Returns whether the event was consumed. A window that must stay put (a
    // maximised frame) passes allowMove = false yet still tracks the buttons.
    bool handle(QWidget *window, QEvent *event, bool allowMove = true);
};

#endif // DRAGSTATE_H
