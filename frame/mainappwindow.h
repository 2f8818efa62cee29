// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef MAINAPPWINDOW_H
#define MAINAPPWINDOW_H

#include "quihelper.h"

#include <QMainWindow>
#include <QRect>

class QHBoxLayout;
class QLabel;
class QPushButton;
class QToolButton;
class QVBoxLayout;

// A main window with a drawn title bar instead of the platform's frame: icon,
// title, a tool area for the subclass, a skin menu and the window buttons.
// Maximising is a geometry change to the work area, never the platform state.
// Subclasses call initForm() from their constructor and place widgetMain.
class MainAppWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainAppWindow(QWidget *parent = nullptr);
    ~MainAppWindow() override;

    QString title() const { return titleText; }

signals:
    void changeStyle(const QString &qssFile);
    void closing();
    // A skin was picked from the skin menu and applied; its row in the skin table.
    void skinChosen(int index);

public slots:
    void setIcon(QUIHelper::Widget widget, QChar str, quint32 size = 9);
    void setIconMain(QChar str, quint32 size = 9);
    void setTitle(const QString &title);
    void setAlignment(Qt::Alignment alignment);

private slots:
    void changeStyle();
    void onbtnMenu_Min_clicked();
    void onbtnMenu_Max_clicked();
    void onbtnMenu_Close_clicked();

protected:
    QVBoxLayout *initControl();
    void initForm();
    bool eventFilter(QObject *watched, QEvent *event) override;
    void changeEvent(QEvent *event) override;

    QVBoxLayout *verticalLayout1 = nullptr;
    QWidget *widgetMain = nullptr;
    QVBoxLayout *verticalLayout2 = nullptr;
    QWidget *widgetTitle = nullptr;
    QHBoxLayout *horizontalLayout4 = nullptr;
    QLabel *labIco = nullptr;
    QLabel *labTitle = nullptr;
    // The title bar's tool area, between the title and the window buttons.
    QHBoxLayout *toolLayout = nullptr;
    QWidget *widgetMenu = nullptr;
    QHBoxLayout *horizontalLayout = nullptr;
    QToolButton *btnMenu = nullptr;
    QPushButton *btnMenu_Min = nullptr;
    QPushButton *btnMenu_Max = nullptr;
    QPushButton *btnMenu_Close = nullptr;
    QWidget *widget = nullptr;
    QVBoxLayout *verticalLayout3 = nullptr;

private:
    QWidget *createTitleBar();
    QWidget *createButtonStrip();
    void createSkinMenu();
    void retranslateSkinMenu();
    void maximiseToWorkArea();

    bool isMaximised = false;
    QRect savedGeometry;
    QString titleText;
    Qt::Alignment titleAlignment;
};

#endif // MAINAPPWINDOW_H
