// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef MAINFRAMELESSWINDOW_H
#define MAINFRAMELESSWINDOW_H

#include "mainappwindow.h"

// The frame as the program's main window uses it: no skin menu and no outer
// margin. Its subclasses reach the frame's parts directly: widgetMain (the
// container of the title bar, to be placed in their own layout), labIco,
// horizontalLayout4 (the title bar), verticalLayout1 (the outer layout) and
// toolLayout (the title bar's tool area).
class MainFramelessWindow : public MainAppWindow
{
    Q_OBJECT

public:
    explicit MainFramelessWindow(QWidget *parent = nullptr);
    ~MainFramelessWindow() override;
};

#endif // MAINFRAMELESSWINDOW_H
