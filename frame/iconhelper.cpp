// SPDX-License-Identifier: GPL-3.0-or-later
#include "iconhelper.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDebug>
#include <QEvent>
#include <QFontDatabase>
#include <QFrame>
#include <QLabel>
#include <QMutex>
#include <QMutexLocker>
#include <QPainter>
#include <QToolButton>

namespace {

IconHelper *self = nullptr;
QMutex selfMutex;

QString borderFragment(const QString &type, int borderWidth)
{
    QString fragment;
    if (type == QLatin1String("top"))
        fragment = QStringLiteral("border-width:%1px 0px 0px 0px;padding:%1px %2px %2px %2px;");
    else if (type == QLatin1String("right"))
        fragment = QStringLiteral("border-width:0px %1px 0px 0px;padding:%2px %1px %2px %2px;");
    else if (type == QLatin1String("bottom"))
        fragment = QStringLiteral("border-width:0px 0px %1px 0px;padding:%2px %2px %1px %2px;");
    else if (type == QLatin1String("left"))
        fragment = QStringLiteral("border-width:0px 0px 0px %1px;padding:%2px %2px %2px %1px;");
    else
        return QString();
    return fragment.arg(borderWidth).arg(borderWidth * 2);
}

} // namespace

IconHelper *IconHelper::instance()
{
    if (!self) {
        QMutexLocker locker(&selfMutex);
        if (!self)
            self = new IconHelper(qApp);
    }
    return self;
}

IconHelper::IconHelper(QObject *parent)
    : QObject(parent)
{
    const int fontId
        = QFontDatabase::addApplicationFont(QStringLiteral(":/image/fontawesome-webfont.ttf"));
    const QStringList families = QFontDatabase::applicationFontFamilies(fontId);
    if (!families.isEmpty())
        iconFont = QFont(families.first());
    else
        qDebug() << "load fontawesome-webfont.ttf error";
}

void IconHelper::setGlyph(QLabel *label, QChar glyph, quint32 size)
{
    iconFont.setPointSize(int(size));
    label->setFont(iconFont);
    label->setText(glyph);
}

void IconHelper::setGlyph(QAbstractButton *button, QChar glyph, quint32 size)
{
    iconFont.setPointSize(int(size));
    button->setFont(iconFont);
    button->setText(glyph);
}

QPixmap IconHelper::glyphPixmap(
    const QString &color, QChar glyph, quint32 size, quint32 pixWidth, quint32 pixHeight)
{
    QPixmap pixmap(static_cast<int>(pixWidth), static_cast<int>(pixHeight));
    pixmap.fill(Qt::transparent);

    QPainter painter(&pixmap);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    painter.setPen(QColor(color));
    painter.setBrush(QColor(color));
    iconFont.setPointSize(int(size));
    painter.setFont(iconFont);
    painter.drawText(pixmap.rect(), Qt::AlignCenter, glyph);
    return pixmap;
}

QPixmap IconHelper::storedPixmap(QToolButton *button, bool normal) const
{
    // The newest entry wins: a button styled again, or a new button at the
    // address of a deleted one, must not get the pixmaps of an older entry.
    const int index = btns.lastIndexOf(button);
    if (index < 0)
        return QPixmap();
    return normal ? pixNormal.at(index) : pixDark.at(index);
}

void IconHelper::styleNavButtons(QWidget *widget, const QString &type, int borderWidth,
    const QString &borderColor, const QString &normalBgColor, const QString &darkBgColor,
    const QString &normalTextColor, const QString &darkTextColor)
{
    widget->setStyleSheet(navButtonRules(type, borderWidth, borderColor, normalBgColor, darkBgColor,
        normalTextColor, darkTextColor));
}

void IconHelper::styleNavPanel(QWidget *widget, QList<QToolButton *> buttons, QList<int> pixChar,
    quint32 iconSize, quint32 iconWidth, quint32 iconHeight, const QString &type, int borderWidth,
    const QString &borderColor, const QString &normalBgColor, const QString &darkBgColor,
    const QString &normalTextColor, const QString &darkTextColor)
{
    if (buttons.isEmpty() || buttons.size() != pixChar.size())
        return;

    const QString background
        = QStringLiteral("QWidget#%1{background:%2;}").arg(widget->objectName(), normalBgColor);
    widget->setStyleSheet(navButtonRules(type, borderWidth, borderColor, normalBgColor, darkBgColor,
                              normalTextColor, darkTextColor)
        + background + toolButtonRules(normalBgColor, darkBgColor, normalTextColor, darkTextColor));
    addGlyphButtons(
        buttons, pixChar, iconSize, iconWidth, iconHeight, normalTextColor, darkTextColor);
}

void IconHelper::styleToolPanel(QFrame *frame, QList<QToolButton *> buttons, QList<int> pixChar,
    quint32 iconSize, quint32 iconWidth, quint32 iconHeight, const QString &normalBgColor,
    const QString &darkBgColor, const QString &normalTextColor, const QString &darkTextColor)
{
    if (buttons.isEmpty() || buttons.size() != pixChar.size())
        return;

    frame->setStyleSheet(
        toolButtonRules(normalBgColor, darkBgColor, normalTextColor, darkTextColor));
    addGlyphButtons(
        buttons, pixChar, iconSize, iconWidth, iconHeight, normalTextColor, darkTextColor);
}

bool IconHelper::eventFilter(QObject *watched, QEvent *event)
{
    auto *button = qobject_cast<QToolButton *>(watched);
    const int index = button ? btns.lastIndexOf(button) : -1;
    if (index >= 0) {
        if (event->type() == QEvent::Enter)
            button->setIcon(QIcon(pixDark.at(index)));
        else if (event->type() == QEvent::Leave)
            button->setIcon(QIcon(button->isChecked() ? pixDark.at(index) : pixNormal.at(index)));
    }
    return QObject::eventFilter(watched, event);
}

QString IconHelper::navButtonRules(const QString &type, int borderWidth, const QString &borderColor,
    const QString &normalBgColor, const QString &darkBgColor, const QString &normalTextColor,
    const QString &darkTextColor)
{
    const QString normal = QStringLiteral("QWidget[flag=\"%1\"] QAbstractButton{"
                                          "border-style:none;border-radius:0px;padding:5px;"
                                          "color:%2;background:%3;}")
                               .arg(type, normalTextColor, normalBgColor);
    const QString dark
        = QStringLiteral("QWidget[flag=\"%1\"] QAbstractButton:hover,"
                         "QWidget[flag=\"%1\"] QAbstractButton:pressed,"
                         "QWidget[flag=\"%1\"] QAbstractButton:checked{"
                         "border-style:solid;%2border-color:%3;color:%4;background:%5;}")
              .arg(
                  type, borderFragment(type, borderWidth), borderColor, darkTextColor, darkBgColor);
    return normal + dark;
}

QString IconHelper::toolButtonRules(const QString &normalBgColor, const QString &darkBgColor,
    const QString &normalTextColor, const QString &darkTextColor)
{
    return QStringLiteral("QToolButton{border-width:0px;}")
        + QStringLiteral("QToolButton{background-color:%1;color:%2;}")
              .arg(normalBgColor, normalTextColor)
        + QStringLiteral("QToolButton:hover,QToolButton:pressed,QToolButton:checked{"
                         "background-color:%1;color:%2;}")
              .arg(darkBgColor, darkTextColor);
}

void IconHelper::addGlyphButtons(const QList<QToolButton *> &buttons, const QList<int> &pixChar,
    quint32 iconSize, quint32 iconWidth, quint32 iconHeight, const QString &normalTextColor,
    const QString &darkTextColor)
{
    for (int i = 0; i < buttons.size(); ++i) {
        const QChar glyph(pixChar.at(i));
        const QPixmap normal = glyphPixmap(normalTextColor, glyph, iconSize, iconWidth, iconHeight);
        const QPixmap dark = glyphPixmap(darkTextColor, glyph, iconSize, iconWidth, iconHeight);
        QToolButton *button = buttons.at(i);
        button->setIcon(QIcon(normal));
        button->setIconSize(QSize(int(iconWidth), int(iconHeight)));
        button->installEventFilter(this);
        pixNormal.append(normal);
        pixDark.append(dark);
        btns.append(button);
    }
}
