// SPDX-License-Identifier: GPL-3.0-or-later
#include "pagebuttons.h"

#include <QAbstractButton>
#include <QAction>
#include <QStackedWidget>

PageButtons::PageButtons(QStackedWidget *pages)
    : QObject(pages)
    , m_pages(pages)
{
    connect(pages, &QStackedWidget::currentChanged, this, &PageButtons::showCurrent);
}

void PageButtons::add(QAction *action, QWidget *page)
{
    action->setCheckable(true);
    m_actions.append({action, page});
    // A click checks or unchecks before the page is known to change, or not to.
    connect(action, &QAction::triggered, this, &PageButtons::showCurrent, Qt::QueuedConnection);
    showCurrent();
}

void PageButtons::add(QAbstractButton *button, QWidget *page)
{
    button->setCheckable(true);
    m_buttons.append({button, page});
    connect(
        button, &QAbstractButton::clicked, this, &PageButtons::showCurrent, Qt::QueuedConnection);
    showCurrent();
}

void PageButtons::showCurrent()
{
    QWidget *shown = m_pages->currentWidget();
    for (const auto &entry : std::as_const(m_actions))
        entry.first->setChecked(entry.second == shown);
    for (const auto &entry : std::as_const(m_buttons))
        entry.first->setChecked(entry.second == shown);
}
