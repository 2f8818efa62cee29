// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef TITLEBARFITTER_H
#define TITLEBARFITTER_H

#include <QObject>
#include <QString>
#include <QVector>

class QBoxLayout;
class QLabel;
class QMenu;
class QToolButton;
class QWidget;

// Fits a title bar into the window's width, live as the width changes. Each control is at
// least its floor and wide enough for its whole text. Where that does not fit, the bar's font
// steps down a little; then the title is shortened, with the whole of it in its tooltip; then
// the tool area's controls fold, from its end, into the "»" button's menu, from which each is
// still reached. Any widget in the tool area folds, also one added later; only the pinned ones
// (the connection state) stay on the bar at every width. Growing unfolds them again.
class TitleBarFitter : public QObject
{
    Q_OBJECT

public:
    TitleBarFitter(QWidget *titleBar, QLabel *title, QBoxLayout *toolArea);

    void addControl(QWidget *control, int floor);
    void pin(QWidget *control);

    // The texts changed: measures the bar anew for `title`, then fits it to `available`.
    void fit(const QString &title, int available);
    // The width changed: fits the bar as last measured.
    void refit(int available);

    // The width the bar needs to show everything whole, and the least it can be folded into.
    int wholeWidth() const { return m_wholeWidths.value(0); }
    int leastWidth() const { return m_leastWidth; }
    bool isWhole() const;
    QList<QWidget *> folded() const { return m_folded; }
    QToolButton *overflowButton() const { return m_overflow; }

private:
    struct Control
    {
        QWidget *widget;
        int floor;
    };

    void setFontStep(int step);
    void applyFloors();
    int neededWidth() const;
    void showTitle(int width);
    QList<QWidget *> foldable() const;
    void unfoldAll();
    void fold(QWidget *control);
    void fillOverflowMenu();

    QWidget *m_titleBar;
    QLabel *m_title;
    QBoxLayout *m_toolArea;
    QToolButton *m_overflow;
    QMenu *m_overflowMenu;
    QString m_titleText;
    int m_titleFloor;
    int m_fontStep = -1;
    QVector<int> m_wholeWidths;
    int m_leastWidth = 0;
    QVector<Control> m_controls;
    QList<QWidget *> m_pinned;
    QList<QWidget *> m_folded;
};

#endif // TITLEBARFITTER_H
