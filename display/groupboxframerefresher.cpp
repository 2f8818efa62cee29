// SPDX-License-Identifier: GPL-3.0-or-later
#include "groupboxframerefresher.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGroupBox>

void GroupBoxFrameRefresher::install(QGroupBox *groupBox)
{
    groupBox->installEventFilter(new GroupBoxFrameRefresher(groupBox));
}

bool GroupBoxFrameRefresher::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Show) {
        QEvent styleChange(QEvent::StyleChange);
        QCoreApplication::sendEvent(watched, &styleChange);
    }
    return false;
}
