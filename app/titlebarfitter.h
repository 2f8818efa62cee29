// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef TITLEBARFITTER_H
#define TITLEBARFITTER_H

#include <QString>
#include <QVector>

class QLabel;
class QWidget;

// Fits a title bar into the width its screen offers. Each control is at least its floor and
// wide enough for its whole text. Where that does not fit, the bar's font steps down a little;
// where even that does not fit, the title is elided with the whole of it in its tooltip, and the
// control that can overflow (a tool bar, which folds what it cannot show into its extension
// menu) gives up its floor.
class TitleBarFitter
{
public:
    TitleBarFitter(QWidget *titleBar, QLabel *title);

    void addControl(QWidget *control, int floor);
    void setOverflowControl(QWidget *control);

    // Lays the bar out for `available` pixels and returns the width it then needs.
    int fit(const QString &title, int available);

private:
    struct Control
    {
        QWidget *widget;
        int floor;
    };

    void setFontStep(int step);
    void applyFloors();
    int neededWidth() const;
    void elideTitle(const QString &title, int width);

    QWidget *m_titleBar;
    QLabel *m_title;
    QWidget *m_overflow = nullptr;
    int m_titleFloor;
    QVector<Control> m_controls;
};

#endif // TITLEBARFITTER_H
