// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui_mainwindow.h"

#include "currentandneedledevicewidget.h"
#include "currentdevicelinewidget.h"
#include "currentdevicewidget.h"

#include <QCoreApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QStackedWidget>
#include <QStatusBar>
#include <QVBoxLayout>

namespace Ui {

void MainWindow::setupUi(QMainWindow *window)
{
    if (window->objectName().isEmpty())
        window->setObjectName(QStringLiteral("MainWindow"));
    window->resize(1149, 652);

    centralwidget = new QWidget(window);
    centralwidget->setObjectName(QStringLiteral("centralwidget"));
    verticalLayout = new QVBoxLayout(centralwidget);
    verticalLayout->setObjectName(QStringLiteral("verticalLayout"));
    verticalLayout->setSpacing(0);
    verticalLayout->setContentsMargins(0, 0, 0, 0);
    verticalLayout_3 = new QVBoxLayout();
    verticalLayout_3->setObjectName(QStringLiteral("verticalLayout_3"));

    lblSplitter1 = new QLabel(centralwidget);
    lblSplitter1->setObjectName(QStringLiteral("lblSplitter1"));
    lblSplitter1->setMinimumSize(0, 3);
    lblSplitter1->setMaximumSize(16777215, 3);
    verticalLayout_3->addWidget(lblSplitter1);

    stackedWidget = new QStackedWidget(centralwidget);
    stackedWidget->setObjectName(QStringLiteral("stackedWidget"));

    page = new QWidget();
    page->setObjectName(QStringLiteral("page"));
    verticalLayout_4 = new QVBoxLayout(page);
    verticalLayout_4->setObjectName(QStringLiteral("verticalLayout_4"));
    currentLineWidget = new ::CurrentDeviceLineWidget(page);
    currentLineWidget->setObjectName(QStringLiteral("currentLineWidget"));
    verticalLayout_4->addWidget(currentLineWidget);
    stackedWidget->addWidget(page);

    page_3 = new QWidget();
    page_3->setObjectName(QStringLiteral("page_3"));
    verticalLayout_2 = new QVBoxLayout(page_3);
    verticalLayout_2->setObjectName(QStringLiteral("verticalLayout_2"));
    widget = new ::CurrentDeviceWidget(page_3);
    widget->setObjectName(QStringLiteral("widget"));
    verticalLayout_2->addWidget(widget);
    stackedWidget->addWidget(page_3);

    page_2 = new QWidget();
    page_2->setObjectName(QStringLiteral("page_2"));
    verticalLayout_5 = new QVBoxLayout(page_2);
    verticalLayout_5->setObjectName(QStringLiteral("verticalLayout_5"));
    widget_2 = new ::CurrentAndNeedleDeviceWidget(page_2);
    widget_2->setObjectName(QStringLiteral("widget_2"));
    verticalLayout_5->addWidget(widget_2);
    stackedWidget->addWidget(page_2);

    verticalLayout_3->addWidget(stackedWidget);
    verticalLayout->addLayout(verticalLayout_3);
    window->setCentralWidget(centralwidget);

    menubar = new QMenuBar(window);
    menubar->setObjectName(QStringLiteral("menubar"));
    menubar->setGeometry(QRect(0, 0, 1148, 20));
    window->setMenuBar(menubar);
    statusbar = new QStatusBar(window);
    statusbar->setObjectName(QStringLiteral("statusbar"));
    window->setStatusBar(statusbar);

    retranslateUi(window);

    stackedWidget->setCurrentIndex(0);
}

void MainWindow::retranslateUi(QMainWindow *window)
{
    window->setWindowTitle(
        QCoreApplication::translate("MainWindow", "  电流表上位机管理软件", nullptr));
    lblSplitter1->setText(QString());
}

} // namespace Ui
