// SPDX-License-Identifier: GPL-3.0-or-later
#include "appearancesection.h"

#include "quihelper.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QSignalBlocker>

#include <algorithm>

AppearanceSection::AppearanceSection(
    AppSettings *settings, const QString &language, QWidget *parent)
    : QWidget(parent)
    , m_settings(settings)
{
    setObjectName(QStringLiteral("appearanceSection"));
    m_form = new QFormLayout(this);
    createSkinChoice();
    createLanguageChoice(language);
    createColourChoice();
    connect(settings, &AppSettings::changed, this, &AppearanceSection::onSettingChanged);
    retranslate();
}

void AppearanceSection::createSkinChoice()
{
    cmbSkin = new QComboBox(this);
    cmbSkin->setObjectName(QStringLiteral("cmbSkin"));
    for (int index = 0; index < AppSettings::SkinCount; ++index)
        cmbSkin->addItem(QString(), index);
    cmbSkin->setCurrentIndex(m_settings->skinIndex());
    connect(cmbSkin, QOverload<int>::of(&QComboBox::currentIndexChanged), this, [this](int index) {
        QUIHelper::applySkin(index);
        m_settings->setSkinIndex(index);
    });
    m_form->addRow(new QLabel(this), cmbSkin);
}

// Each language is named in itself, as a user looking for their own would read it.
void AppearanceSection::createLanguageChoice(const QString &language)
{
    cmbLanguage = new QComboBox(this);
    cmbLanguage->setObjectName(QStringLiteral("cmbLanguage"));
    cmbLanguage->addItem(QStringLiteral("中文"), QStringLiteral("zh"));
    cmbLanguage->addItem(QStringLiteral("English"), QStringLiteral("en"));
    cmbLanguage->setCurrentIndex(std::max(0, cmbLanguage->findData(language)));
    connect(cmbLanguage, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
        [this](int index) { emit languageChosen(cmbLanguage->itemData(index).toString()); });
    m_form->addRow(new QLabel(this), cmbLanguage);
}

void AppearanceSection::createColourChoice()
{
    chkPersonalityColor = new QCheckBox(this);
    chkPersonalityColor->setObjectName(QStringLiteral("chkPersonalityColor"));
    chkPersonalityColor->setChecked(m_settings->personalityColor());
    connect(
        chkPersonalityColor, &QCheckBox::toggled, m_settings, &AppSettings::setPersonalityColor);
    m_form->addRow(chkPersonalityColor);

    btnVoltageColor = createColourButton(AppSettings::Quantity::Voltage, "btnVoltageColor");
    btnCurrentColor = createColourButton(AppSettings::Quantity::Current, "btnCurrentColor");
    btnPowerColor = createColourButton(AppSettings::Quantity::Power, "btnPowerColor");
    showColours();
}

QPushButton *AppearanceSection::createColourButton(AppSettings::Quantity quantity, const char *name)
{
    auto *button = new QPushButton(this);
    button->setObjectName(QLatin1String(name));
    connect(button, &QPushButton::clicked, this, [this, quantity] { chooseColour(quantity); });
    m_form->addRow(new QLabel(this), button);
    return button;
}

void AppearanceSection::chooseColour(AppSettings::Quantity quantity)
{
    const QColor chosen = QColorDialog::getColor(m_settings->colour(quantity), this);
    if (chosen.isValid())
        m_settings->setColour(quantity, chosen);
}

void AppearanceSection::showColours()
{
    const auto show = [this](QPushButton *button, AppSettings::Quantity quantity) {
        const QColor colour = m_settings->colour(quantity);
        QPixmap swatch(16, 16);
        swatch.fill(colour);
        button->setIcon(QIcon(swatch));
        button->setText(colour.name());
    };
    show(btnVoltageColor, AppSettings::Quantity::Voltage);
    show(btnCurrentColor, AppSettings::Quantity::Current);
    show(btnPowerColor, AppSettings::Quantity::Power);
}

// The title bar's check box and skin menu change the same settings while the dialog is open.
void AppearanceSection::onSettingChanged(const QString &key)
{
    if (key == QLatin1String("skinIndex")) {
        const QSignalBlocker blocker(cmbSkin);
        cmbSkin->setCurrentIndex(m_settings->skinIndex());
    } else if (key == QLatin1String("personalityColor")) {
        const QSignalBlocker blocker(chkPersonalityColor);
        chkPersonalityColor->setChecked(m_settings->personalityColor());
    } else if (key.endsWith(QLatin1String("Color"))) {
        showColours();
    }
}

void AppearanceSection::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QWidget::changeEvent(event);
}

void AppearanceSection::retranslate()
{
    setWindowTitle(tr("外观"));
    for (int index = 0; index < cmbSkin->count(); ++index)
        cmbSkin->setItemText(index, QUIHelper::skinDisplayName(index));
    const auto label = [this](QWidget *field, const QString &text) {
        if (auto *caption = qobject_cast<QLabel *>(m_form->labelForField(field)))
            caption->setText(text);
    };
    label(cmbSkin, tr("皮肤"));
    label(cmbLanguage, tr("语言"));
    chkPersonalityColor->setText(tr("个性色彩：电压、电流和功率使用自己的颜色"));
    label(btnVoltageColor, tr("电压颜色"));
    label(btnCurrentColor, tr("电流颜色"));
    label(btnPowerColor, tr("功率颜色"));
}
