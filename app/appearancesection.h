// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef APPEARANCESECTION_H
#define APPEARANCESECTION_H

#include "appsettings.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QFormLayout;
class QLabel;
class QPushButton;

// The skin (applied to the whole program as it is chosen, so the choice is seen before it is
// kept), the language, and "个性色彩" with the user's three colours.
class AppearanceSection : public QWidget
{
    Q_OBJECT

public:
    AppearanceSection(AppSettings *settings, const QString &language, QWidget *parent = nullptr);

signals:
    void languageChosen(const QString &code);

protected:
    void changeEvent(QEvent *event) override;

private:
    void createSkinChoice();
    void createLanguageChoice(const QString &language);
    void createColourChoice();
    QPushButton *createColourButton(AppSettings::Quantity quantity, const char *name);
    void chooseColour(AppSettings::Quantity quantity);
    void showColours();
    void onSettingChanged(const QString &key);
    void retranslate();

    AppSettings *m_settings;
    QFormLayout *m_form = nullptr;
    QComboBox *cmbSkin = nullptr;
    QComboBox *cmbLanguage = nullptr;
    QCheckBox *chkPersonalityColor = nullptr;
    QPushButton *btnVoltageColor = nullptr;
    QPushButton *btnCurrentColor = nullptr;
    QPushButton *btnPowerColor = nullptr;
};

#endif // APPEARANCESECTION_H
