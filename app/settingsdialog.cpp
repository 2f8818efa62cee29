// SPDX-License-Identifier: GPL-3.0-or-later
#include "settingsdialog.h"

#include "appearancesection.h"
#include "displaysection.h"
#include "dragstate.h"
#include "iconhelper.h"
#include "recordingsection.h"
#include "servicessection.h"
#include "titleglyphs.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <QVariant>

namespace {

// The dialog is dragged by its title bar, one drag at a time.
DragState drag;

} // namespace

SettingsDialog::SettingsDialog(AppSettings *settings, const QString &language, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("SettingsDialog"));
    setProperty("form", true);
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowSystemMenuHint);

    auto *layout = new QVBoxLayout(this);
    layout->setSpacing(0);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->addWidget(createTitleBar());

    tabSections = new QTabWidget(this);
    tabSections->setObjectName(QStringLiteral("tabSections"));
    auto *body = new QVBoxLayout();
    body->setContentsMargins(9, 9, 9, 9);
    body->addWidget(tabSections);
    layout->addLayout(body);

    auto *appearance = new AppearanceSection(settings, language, this);
    connect(appearance, &AppearanceSection::languageChosen, this, &SettingsDialog::languageChosen);
    addSection(appearance);
    addSection(new RecordingSection(settings, this));
    addSection(new DisplaySection(settings, this));
    m_services = new ServicesSection(settings, this);
    addSection(m_services);

    retranslate();
    // Wide enough for the English labels, small enough for a 1280 x 720 screen.
    resize(640, 460);
}

QWidget *SettingsDialog::createTitleBar()
{
    widgetTitle = new QWidget(this);
    widgetTitle->setObjectName(QStringLiteral("widgetTitle"));
    widgetTitle->setProperty("form", "title");
    widgetTitle->setMinimumHeight(30);
    widgetTitle->installEventFilter(this);

    labIco = new QLabel(widgetTitle);
    labIco->setObjectName(QStringLiteral("labIco"));
    labIco->setMinimumWidth(30);
    labIco->setAlignment(Qt::AlignCenter);
    IconHelper::instance()->setGlyph(
        labIco, TitleGlyphs::GlyphMain, quint32(TitleGlyphs::GlyphSize + 2));

    labTitle = new QLabel(widgetTitle);
    labTitle->setObjectName(QStringLiteral("labTitle"));

    btnMenu_Close = new QPushButton(widgetTitle);
    btnMenu_Close->setObjectName(QStringLiteral("btnMenu_Close"));
    btnMenu_Close->setMinimumSize(30, 30);
    btnMenu_Close->setMaximumWidth(30);
    btnMenu_Close->setCursor(Qt::ArrowCursor);
    btnMenu_Close->setFocusPolicy(Qt::NoFocus);
    btnMenu_Close->setFlat(true);
    IconHelper::instance()->setGlyph(
        btnMenu_Close, TitleGlyphs::GlyphClose, quint32(TitleGlyphs::GlyphSize));
    connect(btnMenu_Close, &QPushButton::clicked, this, &SettingsDialog::accept);

    auto *row = new QHBoxLayout(widgetTitle);
    row->setSpacing(0);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(labIco);
    row->addWidget(labTitle, 1);
    row->addWidget(btnMenu_Close, 0, Qt::AlignTop);
    return widgetTitle;
}

void SettingsDialog::addSection(QWidget *section)
{
    tabSections->addTab(section, section->windowTitle());
    section->installEventFilter(this);
}

bool SettingsDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == widgetTitle)
        return drag.handle(this, event) || QDialog::eventFilter(watched, event);
    if (event->type() == QEvent::WindowTitleChange) {
        auto *section = static_cast<QWidget *>(watched);
        tabSections->setTabText(tabSections->indexOf(section), section->windowTitle());
    }
    return QDialog::eventFilter(watched, event);
}

void SettingsDialog::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QDialog::changeEvent(event);
}

void SettingsDialog::retranslate()
{
    labTitle->setText(tr("设置/服务"));
    setWindowTitle(labTitle->text());
}
