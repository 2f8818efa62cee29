// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PAGEBUTTONS_H
#define PAGEBUTTONS_H

#include <QObject>
#include <QVector>

class QAbstractButton;
class QAction;
class QStackedWidget;
class QWidget;

// The toolbar says where the user is: the button or action of the page shown looks pressed,
// and only that one, however the page came to be shown (a click, a file opened from the
// command line, a replay going back to a live view) and also after a dialog was cancelled.
class PageButtons : public QObject
{
    Q_OBJECT

public:
    explicit PageButtons(QStackedWidget *pages);

    void add(QAction *action, QWidget *page);
    void add(QAbstractButton *button, QWidget *page);

private:
    void showCurrent();

    QStackedWidget *m_pages;
    QVector<QPair<QAction *, QWidget *>> m_actions;
    QVector<QPair<QAbstractButton *, QWidget *>> m_buttons;
};

#endif // PAGEBUTTONS_H
