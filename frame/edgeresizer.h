// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef EDGERESIZER_H
#define EDGERESIZER_H

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QRect>

#include <functional>

class QMouseEvent;
class QWidget;
class QWindow;

// Resizing a frameless window from its edges and corners, as the platform's frame would: the
// cursor shows the direction over a thin band along the border, and a left press there hands
// the resize to the window system (QWindow::startSystemResize, which Wayland requires); where
// the platform refuses, the window resizes itself, never below its minimum size.
//
// It watches the window's QWindow, which sees every mouse event before any child widget does.
class EdgeResizer : public QObject
{
public:
    using Allowed = std::function<bool()>;

    static constexpr int Band = 5;

    // The window may be resized whenever `allowed` says so (not while a frame fills the work
    // area, say). The resizer belongs to the window.
    static void install(QWidget *window, const Allowed &allowed);

    // Which edges a point in window coordinates is on, for a window of that size.
    static Qt::Edges edgesAt(const QPoint &position, const QSize &size);

    ~EdgeResizer() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    EdgeResizer(QWidget *window, const Allowed &allowed);

    void watchWindowHandle();
    bool handleMouse(QEvent *event);
    bool startResize(const QMouseEvent *mouse, Qt::Edges edges);
    void resizeTo(const QPoint &global);
    void showCursorFor(Qt::Edges edges);

    QWidget *m_window;
    Allowed m_allowed;
    QPointer<QWindow> m_handle;
    Qt::Edges m_edges;
    bool m_resizing = false;
    bool m_cursorShown = false;
    QPoint m_pressGlobal;
    QRect m_pressGeometry;
};

#endif // EDGERESIZER_H
