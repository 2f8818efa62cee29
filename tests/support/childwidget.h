// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef CHILDWIDGET_H
#define CHILDWIDGET_H

#include <QWidget>

// A named child the window must have: its absence ends the test at once, by name.
template<typename T = QWidget>
T *child(QObject *parent, const QString &name)
{
    auto *found = parent->findChild<T *>(name);
    if (!found)
        qFatal("no %s", qPrintable(name));
    return found;
}

#endif // CHILDWIDGET_H
