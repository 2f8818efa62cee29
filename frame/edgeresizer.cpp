// SPDX-License-Identifier: GPL-3.0-or-later
#include "edgeresizer.h"
#include "mouseposition.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

#include <algorithm>

namespace {

Qt::CursorShape cursorFor(Qt::Edges edges)
{
    const bool horizontal = edges & (Qt::LeftEdge | Qt::RightEdge);
    const bool vertical = edges & (Qt::TopEdge | Qt::BottomEdge);
    if (horizontal && vertical) {
        const bool falling
            = edges == (Qt::LeftEdge | Qt::TopEdge) || edges == (Qt::RightEdge | Qt::BottomEdge);
        return falling ? Qt::SizeFDiagCursor : Qt::SizeBDiagCursor;
    }
    return horizontal ? Qt::SizeHorCursor : Qt::SizeVerCursor;
}

} // namespace

void EdgeResizer::install(QWidget *window, const Allowed &allowed)
{
    new EdgeResizer(window, allowed);
}

EdgeResizer::EdgeResizer(QWidget *window, const Allowed &allowed)
    : QObject(window)
    , m_window(window)
    , m_allowed(allowed)
{
    // The QWindow exists only once the widget is shown (or its id asked for).
    window->installEventFilter(this);
    watchWindowHandle();
}

// A window closed with the pointer on its border leaves no resize cursor behind.
EdgeResizer::~EdgeResizer()
{
    showCursorFor(Qt::Edges());
}

Qt::Edges EdgeResizer::edgesAt(const QPoint &position, const QSize &size)
{
    Qt::Edges edges;
    if (position.x() < Band)
        edges |= Qt::LeftEdge;
    else if (position.x() >= size.width() - Band)
        edges |= Qt::RightEdge;
    if (position.y() < Band)
        edges |= Qt::TopEdge;
    else if (position.y() >= size.height() - Band)
        edges |= Qt::BottomEdge;
    return edges;
}

void EdgeResizer::watchWindowHandle()
{
    QWindow *handle = m_window->windowHandle();
    if (!handle || handle == m_handle)
        return;
    m_handle = handle;
    handle->installEventFilter(this);
}

bool EdgeResizer::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_window) {
        if (event->type() == QEvent::Show || event->type() == QEvent::WinIdChange)
            watchWindowHandle();
        return false;
    }
    return handleMouse(event);
}

bool EdgeResizer::handleMouse(QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseMove: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (m_resizing) {
            resizeTo(MousePosition::global(mouse));
            return true;
        }
        if (mouse->buttons() == Qt::NoButton)
            showCursorFor(
                m_allowed() ? edgesAt(MousePosition::local(mouse), m_window->size()) : Qt::Edges());
        return false;
    }
    case QEvent::MouseButtonPress: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        const Qt::Edges edges = edgesAt(MousePosition::local(mouse), m_window->size());
        if (mouse->button() != Qt::LeftButton || !edges || !m_allowed())
            return false;
        return startResize(mouse, edges);
    }
    case QEvent::MouseButtonRelease:
        if (!m_resizing)
            return false;
        m_resizing = false;
        return true;
    case QEvent::Leave:
        showCursorFor(Qt::Edges());
        return false;
    default:
        return false;
    }
}

bool EdgeResizer::startResize(const QMouseEvent *mouse, Qt::Edges edges)
{
    // The compositor owns the pointer until the button comes up.
    if (m_handle && m_handle->startSystemResize(edges))
        return true;
    m_resizing = true;
    m_edges = edges;
    m_pressGlobal = MousePosition::global(mouse);
    m_pressGeometry = m_window->geometry();
    return true;
}

void EdgeResizer::resizeTo(const QPoint &global)
{
    const QPoint moved = global - m_pressGlobal;
    const QSize least = m_window->minimumSize();
    QRect geometry = m_pressGeometry;
    // The edge opposite the one dragged stays where it is, also when the minimum stops the drag.
    if (m_edges & Qt::LeftEdge)
        geometry.setLeft(
            std::min(geometry.left() + moved.x(), geometry.right() + 1 - least.width()));
    if (m_edges & Qt::RightEdge)
        geometry.setRight(
            std::max(geometry.right() + moved.x(), geometry.left() + least.width() - 1));
    if (m_edges & Qt::TopEdge)
        geometry.setTop(
            std::min(geometry.top() + moved.y(), geometry.bottom() + 1 - least.height()));
    if (m_edges & Qt::BottomEdge)
        geometry.setBottom(
            std::max(geometry.bottom() + moved.y(), geometry.top() + least.height() - 1));
    m_window->setGeometry(geometry);
}

// An override cursor, since every child widget under the band would otherwise put its own back.
void EdgeResizer::showCursorFor(Qt::Edges edges)
{
    if (!edges) {
        if (m_cursorShown)
            QGuiApplication::restoreOverrideCursor();
        m_cursorShown = false;
        return;
    }
    if (m_cursorShown)
        QGuiApplication::changeOverrideCursor(cursorFor(edges));
    else
        QGuiApplication::setOverrideCursor(cursorFor(edges));
    m_cursorShown = true;
}
