// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef MOUSEPOSITION_H
#define MOUSEPOSITION_H

#include <QMouseEvent>
#include <QPoint>

// A mouse event's positions in whole pixels, under the names of either Qt.
namespace MousePosition {

inline QPoint global(const QMouseEvent *mouse)
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    return mouse->globalPosition().toPoint();
#else
    return mouse->screenPos().toPoint();
#endif
}

inline QPoint local(const QMouseEvent *mouse)
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    return mouse->position().toPoint();
#else
    return mouse->localPos().toPoint();
#endif
}

} // namespace MousePosition

#endif // MOUSEPOSITION_H
