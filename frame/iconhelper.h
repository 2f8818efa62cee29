// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef ICONHELPER_H
#define ICONHELPER_H

#include <QChar>
#include <QFont>
#include <QList>
#include <QObject>
#include <QPixmap>

class QAbstractButton;
class QFrame;
class QLabel;
class QToolButton;
class QWidget;

// Puts Font Awesome glyphs on labels and buttons and builds navigation panels
// of glyph tool buttons whose icon follows hover and check state.
class IconHelper : public QObject
{
    Q_OBJECT

public:
    static IconHelper *instance();

    void setGlyph(QLabel *label, QChar glyph, quint32 size);
    void setGlyph(QAbstractButton *button, QChar glyph, quint32 size);
    QPixmap glyphPixmap(
        const QString &color, QChar glyph, quint32 size, quint32 pixWidth, quint32 pixHeight);
    QPixmap storedPixmap(QToolButton *button, bool normal) const;

    static void styleNavButtons(QWidget *widget, const QString &type, int borderWidth,
        const QString &borderColor, const QString &normalBgColor, const QString &darkBgColor,
        const QString &normalTextColor, const QString &darkTextColor);
    void styleNavPanel(QWidget *widget, QList<QToolButton *> buttons, QList<int> pixChar,
        quint32 iconSize, quint32 iconWidth, quint32 iconHeight, const QString &type,
        int borderWidth, const QString &borderColor, const QString &normalBgColor,
        const QString &darkBgColor, const QString &normalTextColor, const QString &darkTextColor);
    void styleToolPanel(QFrame *frame, QList<QToolButton *> buttons, QList<int> pixChar,
        quint32 iconSize, quint32 iconWidth, quint32 iconHeight, const QString &normalBgColor,
        const QString &darkBgColor, const QString &normalTextColor, const QString &darkTextColor);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit IconHelper(QObject *parent);

    static QString navButtonRules(const QString &type, int borderWidth, const QString &borderColor,
        const QString &normalBgColor, const QString &darkBgColor, const QString &normalTextColor,
        const QString &darkTextColor);
    static QString toolButtonRules(const QString &normalBgColor, const QString &darkBgColor,
        const QString &normalTextColor, const QString &darkTextColor);
    void addGlyphButtons(const QList<QToolButton *> &buttons, const QList<int> &pixChar,
        quint32 iconSize, quint32 iconWidth, quint32 iconHeight, const QString &normalTextColor,
        const QString &darkTextColor);

    QFont iconFont;
    QList<QToolButton *> btns;
    QList<QPixmap> pixNormal;
    QList<QPixmap> pixDark;
};

#endif // ICONHELPER_H
