// SPDX-License-Identifier: GPL-3.0-or-later
#include "displaycolors.h"

#include <QPalette>
#include <QWidget>

void DisplayColors::paintInstrumentBackground(QWidget *page)
{
    page->setAttribute(Qt::WA_StyledBackground);
    page->setStyleSheet(
        QStringLiteral("%1 { background-color: %2; }")
            .arg(QString::fromLatin1(page->metaObject()->className()), background.name()));
}
