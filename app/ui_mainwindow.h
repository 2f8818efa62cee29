// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef UI_MAINWINDOW_H
#define UI_MAINWINDOW_H

class CurrentAndNeedleDeviceWidget;
class CurrentDeviceLineWidget;
class CurrentDeviceWidget;
class QLabel;
class QMainWindow;
class QMenuBar;
class QStackedWidget;
class QStatusBar;
class QVBoxLayout;
class QWidget;

namespace Ui {

// The main window's form, built in code the way a Designer form would be: the
// three device pages in a stacked widget under a separator line, which the
// window's title bar is later placed above.
class MainWindow
{
public:
    void setupUi(QMainWindow *window);
    void retranslateUi(QMainWindow *window);

    QWidget *centralwidget;
    QVBoxLayout *verticalLayout;
    QVBoxLayout *verticalLayout_3;
    QLabel *lblSplitter1;
    QStackedWidget *stackedWidget;
    QWidget *page;
    QVBoxLayout *verticalLayout_4;
    ::CurrentDeviceLineWidget *currentLineWidget;
    QWidget *page_3;
    QVBoxLayout *verticalLayout_2;
    ::CurrentDeviceWidget *widget;
    QWidget *page_2;
    QVBoxLayout *verticalLayout_5;
    ::CurrentAndNeedleDeviceWidget *widget_2;
    QMenuBar *menubar;
    QStatusBar *statusbar;
};

} // namespace Ui

#endif // UI_MAINWINDOW_H
