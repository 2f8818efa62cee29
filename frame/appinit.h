// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef APPINIT_H
#define APPINIT_H

#include "dragstate.h"

#include <QObject>

// Application-wide filter that lets any window carrying the dynamic property
// "canMove" be dragged with the left mouse button.
class AppInit : public QObject
{
    Q_OBJECT

public:
    static AppInit *instance();

    void start();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    AppInit() = default;

    DragState drag;
};

#endif // APPINIT_H
