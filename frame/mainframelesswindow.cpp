// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainframelesswindow.h"

#include <QToolButton>
#include <QVBoxLayout>

MainFramelessWindow::MainFramelessWindow(QWidget *parent)
    : MainAppWindow(parent)
{
    initForm();
    btnMenu->hide();
    verticalLayout1->setContentsMargins(0, 0, 0, 0);
}

MainFramelessWindow::~MainFramelessWindow() = default;
