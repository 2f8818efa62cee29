// SPDX-License-Identifier: GPL-3.0-or-later
#include "appinit.h"

#include <QApplication>
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
    if (widget && widget->property("canMove").toBool() && drag.handle(widget, event))
        return true;
    return QObject::eventFilter(watched, event);
}
