// SPDX-License-Identifier: GPL-3.0-or-later
#include "quihelper.h"
#include "quimessagebox.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFile>
#include <QPalette>
#include <QScreen>
#include <QSettings>
#include <QWidget>

const QString QUIHelper::ConfigFile = QStringLiteral("config.ini");

namespace {

struct Skin
{
    const char *name;
    const char *file;
};

// Index order matters: start-up selects the last row by index. The names are translated
// where they are shown; the Chinese ones stay the key by which a name finds its row.
const Skin Skins[] = {
    {QT_TRANSLATE_NOOP("QUIHelper", "银色"), ":/qss/silvery.css"},
    {QT_TRANSLATE_NOOP("QUIHelper", "蓝色"), ":/qss/blue.css"},
    {QT_TRANSLATE_NOOP("QUIHelper", "浅蓝色"), ":/qss/lightblue.css"},
    {QT_TRANSLATE_NOOP("QUIHelper", "深蓝色"), ":/qss/darkblue.css"},
    {QT_TRANSLATE_NOOP("QUIHelper", "灰色"), ":/qss/gray.css"},
    {QT_TRANSLATE_NOOP("QUIHelper", "浅灰色"), ":/qss/lightgray.css"},
    {QT_TRANSLATE_NOOP("QUIHelper", "深灰色"), ":/qss/darkgray.css"},
    {QT_TRANSLATE_NOOP("QUIHelper", "黑色"), ":/qss/black.css"},
    {QT_TRANSLATE_NOOP("QUIHelper", "浅黑色"), ":/qss/lightblack.css"},
    {QT_TRANSLATE_NOOP("QUIHelper", "深黑色"), ":/qss/darkblack.css"},
    {QT_TRANSLATE_NOOP("QUIHelper", "PS黑色"), ":/qss/psblack.css"},
    {QT_TRANSLATE_NOOP("QUIHelper", "黑色扁平"), ":/qss/flatblack.css"},
    {QT_TRANSLATE_NOOP("QUIHelper", "白色扁平"), ":/qss/flatwhite.css"},
    {QT_TRANSLATE_NOOP("QUIHelper", "深蓝色1"), ":/qss/darkblue1.css"},
    {QT_TRANSLATE_NOOP("QUIHelper", "深黑色1"), ":/qss/darkblack1.css"},
    {QT_TRANSLATE_NOOP("QUIHelper", "深黑色2"), ":/qss/darkblack2.css"},
};
constexpr int SkinCount = int(sizeof(Skins) / sizeof(Skins[0]));

const char *const DefaultSkin = ":/qss/blue.css";
const char *const ConfigGroup = "BaseConfig";

// Fixed places of the colours in a sheet's first line,
// "QPalette{background:#RRGGBB;}*{outline:0px;color:#RRGGBB;}".
constexpr int PalettePos = 20;
constexpr int TextPos = 49;
constexpr int ColourLength = 7;

void readColour(const QString &qss, const QString &key, QString &colour)
{
    const int index = qss.indexOf(key);
    if (index >= 0)
        colour = qss.mid(index + key.length(), ColourLength);
}

} // namespace

QStringList QUIHelper::skinNames()
{
    QStringList names;
    for (const Skin &skin : Skins)
        names << QString::fromUtf8(skin.name);
    return names;
}

QString QUIHelper::skinDisplayName(int index)
{
    if (index < 0 || index >= SkinCount)
        return QString();
    return QCoreApplication::translate("QUIHelper", Skins[index].name);
}

QString QUIHelper::skinFile(int index)
{
    if (index < 0 || index >= SkinCount)
        return QString::fromLatin1(DefaultSkin);
    return QString::fromLatin1(Skins[index].file);
}

int QUIHelper::skinIndex(const QString &name)
{
    return skinNames().indexOf(name);
}

void QUIHelper::applySkin(int index)
{
    QString qss;
    if (readSkin(skinFile(index), qss))
        applySheet(qss, qss.mid(PalettePos, ColourLength));
}

void QUIHelper::applySkinFile(const QString &qssFile, QString &paletteColor, QString &textColor)
{
    QString qss;
    if (!readSkin(qssFile, qss))
        return;
    paletteColor = qss.mid(PalettePos, ColourLength);
    textColor = qss.mid(TextPos, ColourLength);
    applySheet(qss, paletteColor);
}

void QUIHelper::applySkinFile(const QString &qssFile, QString &textColor, QString &panelColor,
    QString &borderColor, QString &normalColorStart, QString &normalColorEnd,
    QString &darkColorStart, QString &darkColorEnd, QString &highColor)
{
    QString qss;
    if (!readSkin(qssFile, qss))
        return;
    parseSkinColours(qss, textColor, panelColor, borderColor, normalColorStart, normalColorEnd,
        darkColorStart, darkColorEnd, highColor);
    applySheet(qss, panelColor);
}

void QUIHelper::parseSkinColours(const QString &qss, QString &textColor, QString &panelColor,
    QString &borderColor, QString &normalColorStart, QString &normalColorEnd,
    QString &darkColorStart, QString &darkColorEnd, QString &highColor)
{
    readColour(qss, QStringLiteral("TextColor:"), textColor);
    readColour(qss, QStringLiteral("PanelColor:"), panelColor);
    readColour(qss, QStringLiteral("BorderColor:"), borderColor);
    readColour(qss, QStringLiteral("NormalColorStart:"), normalColorStart);
    readColour(qss, QStringLiteral("NormalColorEnd:"), normalColorEnd);
    readColour(qss, QStringLiteral("DarkColorStart:"), darkColorStart);
    readColour(qss, QStringLiteral("DarkColorEnd:"), darkColorEnd);
    readColour(qss, QStringLiteral("HighColor:"), highColor);
}

bool QUIHelper::readSkin(const QString &qssFile, QString &qss)
{
    QFile file(qssFile);
    if (!file.open(QFile::ReadOnly))
        return false;
    // Sheets are 8-bit text; anything after a stray NUL is not part of the sheet.
    const QByteArray data = file.readAll();
    qss = QString::fromLatin1(data.constData(), qstrnlen(data.constData(), uint(data.size())));
    return true;
}

void QUIHelper::applySheet(const QString &qss, const QString &paletteColor)
{
    qApp->setPalette(QPalette(QColor(paletteColor)));
    qApp->setStyleSheet(qss);
}

void QUIHelper::centreWidget(QWidget *widget)
{
    const QRect workArea = QGuiApplication::primaryScreen()->availableGeometry();
    widget->move(
        workArea.width() / 2 - widget->width() / 2, workArea.height() / 2 - widget->height() / 2);
}

bool QUIHelper::configIsValid()
{
    QFile file(ConfigFile);
    if (file.size() == 0 || !file.open(QFile::ReadOnly)) {
        recreateConfig();
        return false;
    }
    while (!file.atEnd()) {
        QString line = QString::fromUtf8(file.readLine());
        line.remove(QLatin1Char('\r')).remove(QLatin1Char('\n'));
        const QStringList parts = line.split(QLatin1Char('='));
        if (parts.size() == 2 && parts.at(1).isEmpty()) {
            file.close();
            recreateConfig();
            return false;
        }
    }
    return true;
}

void QUIHelper::recreateConfig()
{
    // QSettings leaves a group without keys out of the file, and an empty file
    // counts as broken, so the fresh file gets its group header written directly.
    QFile file(ConfigFile);
    if (file.open(QFile::WriteOnly | QFile::Truncate))
        file.write("[" + QByteArray(ConfigGroup) + "]\n");
    file.close();
    saveConfig();
}

void QUIHelper::saveConfig()
{
    QSettings settings(ConfigFile, QSettings::IniFormat);
    settings.beginGroup(QLatin1String(ConfigGroup));
    settings.endGroup();
}

void QUIHelper::loadConfig()
{
    if (!configIsValid())
        return;
    QSettings settings(ConfigFile, QSettings::IniFormat);
    settings.beginGroup(QLatin1String(ConfigGroup));
    settings.endGroup();
}

void QUIHelper::showInfo(const QString &info, int closeSec)
{
    QUIMessageBox::instance()->setMessage(info, 0, closeSec);
    QUIMessageBox::instance()->show();
}

void QUIHelper::showError(const QString &info, int closeSec)
{
    QUIMessageBox::instance()->setMessage(info, 2, closeSec);
    QUIMessageBox::instance()->show();
}

int QUIHelper::askQuestion(const QString &info)
{
    QUIMessageBox box;
    box.setMessage(info, 1);
    return box.exec();
}
