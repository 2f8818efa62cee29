// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef QUIHELPER_H
#define QUIHELPER_H

#include <QObject>
#include <QString>
#include <QStringList>

class QWidget;

// Process-wide helpers of the window framework: the skins, centring a window,
// the "config.ini" file and the message boxes. Static operations only.
class QUIHelper : public QObject
{
    Q_OBJECT

public:
    // The title-bar widget a glyph is meant for.
    enum Widget {
        TitleIcon = 0,
        MenuButton = 1,
        MinButton = 2,
        MaxButtonMaximised = 3,
        MaxButtonNormal = 4,
        CloseButton = 5
    };
    Q_ENUM(Widget)

    static const QString ConfigFile;

    // Skin table: display names in index order, and the sheet of an index
    // (":/qss/blue.css" for any index outside the table).
    static QStringList skinNames();
    // The name of an index in the interface's language; empty outside the table.
    static QString skinDisplayName(int index);
    static QString skinFile(int index);
    static int skinIndex(const QString &name);

    static void applySkin(int index);
    static void applySkinFile(const QString &qssFile, QString &paletteColor, QString &textColor);
    static void applySkinFile(const QString &qssFile, QString &textColor, QString &panelColor,
        QString &borderColor, QString &normalColorStart, QString &normalColorEnd,
        QString &darkColorStart, QString &darkColorEnd, QString &highColor);
    static void parseSkinColours(const QString &qss, QString &textColor, QString &panelColor,
        QString &borderColor, QString &normalColorStart, QString &normalColorEnd,
        QString &darkColorStart, QString &darkColorEnd, QString &highColor);

    static void centreWidget(QWidget *widget);

    static bool configIsValid();
    static void recreateConfig();
    static void saveConfig();
    static void loadConfig();

    static void showInfo(const QString &info, int closeSec = 0);
    static void showError(const QString &info, int closeSec = 0);
    static int askQuestion(const QString &info);

private:
    static bool readSkin(const QString &qssFile, QString &qss);
    static void applySheet(const QString &qss, const QString &paletteColor);
};

#endif // QUIHELPER_H
