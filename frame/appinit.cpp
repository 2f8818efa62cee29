#include "appinit.h"

#include <QApplication>
#include <QMouseEvent>
#include <QMutex>
#include <QMutexLocker>
#include <QWidget>

namespace {

AppInit *self = nullptr;
QMutex selfMutex;

} // namespace

AppInit *AppInit::instance()
{
    if (!self) {
        QMutexLocker locker(&selfMutex);
        if (!self)
            self = new AppInit;
    }
    return self;
}

void AppInit::start()
{
    qApp->installEventFilter(this);
}

bool AppInit::eventFilter(QObject *watched, QEvent *event)
{
    auto *widget = qobject_cast<QWidget *>(watched);
    if (!widget || !widget->property("canMove").toBool())
        return QObject::eventFilter(watched, event);

    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() != Qt::LeftButton)
            break;
        dragging = true;
        dragOffset = mouse->screenPos().toPoint() - widget->pos();
        return true;
    }
    case QEvent::MouseButtonRelease:
        dragging = false;
        return true;
    case QEvent::MouseMove: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (!dragging || mouse->buttons() == Qt::NoButton)
            break;
        widget->move(mouse->globalPos() - dragOffset);
        return true;
    }
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
