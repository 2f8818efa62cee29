// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainappwindow.h"
#include "dragstate.h"
#include "edgeresizer.h"
#include "iconhelper.h"
#include "titleglyphs.h"

#include <QAction>
#include <QDebug>
#include <QEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSpacerItem>
#include <QToolButton>
#include <QVBoxLayout>

using namespace TitleGlyphs;

namespace {

// One drag at a time is possible, so all frame windows share one drag state.
DragState drag;

// The menu offers every skin of the table, not only its first thirteen rows: the last three,
// the program's own dark skins, are as much a user's choice as the others.
constexpr int MenuSkinCount = 16;

const char *const UntitledText = "VER Urid";

} // namespace

MainAppWindow::MainAppWindow(QWidget *parent)
    : QMainWindow(parent)
    , savedGeometry(geometry())
    , titleText(QLatin1String(UntitledText))
    , titleAlignment(Qt::AlignLeft | Qt::AlignVCenter)
{ }

MainAppWindow::~MainAppWindow()
{
    // The outer layout belongs to no widget unless a subclass installed it.
    if (verticalLayout1 && !verticalLayout1->parent())
        delete verticalLayout1;
}

QVBoxLayout *MainAppWindow::initControl()
{
    widgetMain = new QWidget(this);
    widgetMain->setObjectName(QStringLiteral("widgetMain"));
    widgetMain->setStyleSheet(QString());

    verticalLayout2 = new QVBoxLayout(widgetMain);
    verticalLayout2->setObjectName(QStringLiteral("verticalLayout2"));
    verticalLayout2->setSpacing(0);
    verticalLayout2->setContentsMargins(0, 0, 0, 0);
    verticalLayout2->addWidget(createTitleBar());

    widget = new QWidget(widgetMain);
    widget->setObjectName(QStringLiteral("widget"));
    verticalLayout3 = new QVBoxLayout(widget);
    verticalLayout3->setObjectName(QStringLiteral("verticalLayout3"));
    verticalLayout3->setSpacing(0);
    verticalLayout3->setContentsMargins(0, 0, 0, 0);
    verticalLayout2->addWidget(widget);

    verticalLayout1 = new QVBoxLayout();
    verticalLayout1->setObjectName(QStringLiteral("verticalLayout1"));
    verticalLayout1->setSpacing(0);
    verticalLayout1->setContentsMargins(1, 1, 1, 1);
    verticalLayout1->addWidget(widgetMain);
    return verticalLayout1;
}

QWidget *MainAppWindow::createTitleBar()
{
    widgetTitle = new QWidget(widgetMain);
    widgetTitle->setObjectName(QStringLiteral("widgetTitle"));
    widgetTitle->setMinimumSize(0, 30);
    widgetTitle->setMaximumHeight(45);

    horizontalLayout4 = new QHBoxLayout(widgetTitle);
    horizontalLayout4->setObjectName(QStringLiteral("horizontalLayout4"));
    horizontalLayout4->setSpacing(0);
    horizontalLayout4->setContentsMargins(0, 0, 0, 0);

    labIco = new QLabel(widgetTitle);
    labIco->setObjectName(QStringLiteral("labIco"));
    labIco->setMinimumSize(30, 0);
    labIco->setAlignment(Qt::AlignCenter);

    labTitle = new QLabel(widgetTitle);
    labTitle->setObjectName(QStringLiteral("labTitle"));
    labTitle->setMinimumWidth(180);
    labTitle->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    auto *iconAndTitle = new QHBoxLayout();
    iconAndTitle->setContentsMargins(10, 5, 0, 0);
    iconAndTitle->addWidget(labIco);
    iconAndTitle->addWidget(labTitle);

    auto *titleColumn = new QVBoxLayout();
    titleColumn->addLayout(iconAndTitle);
    titleColumn->addItem(new QSpacerItem(20, 20, QSizePolicy::Minimum, QSizePolicy::Expanding));
    horizontalLayout4->addLayout(titleColumn);

    toolLayout = new QHBoxLayout();
    toolLayout->setContentsMargins(10, 0, 0, 0);
    horizontalLayout4->addLayout(toolLayout);

    horizontalLayout4->addItem(
        new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));
    horizontalLayout4->addWidget(createButtonStrip());
    return widgetTitle;
}

QWidget *MainAppWindow::createButtonStrip()
{
    widgetMenu = new QWidget(widgetTitle);
    widgetMenu->setObjectName(QStringLiteral("widgetMenu"));
    widgetMenu->setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Preferred);

    btnMenu = new QToolButton(widgetMenu);
    btnMenu->setObjectName(QStringLiteral("btnMenu"));
    btnMenu->setMinimumSize(30, 0);
    btnMenu->setMaximumWidth(30);
    btnMenu->setFocusPolicy(Qt::NoFocus);
    btnMenu->setPopupMode(QToolButton::InstantPopup);

    auto windowButton = [this](const char *name) {
        auto *button = new QPushButton(widgetMenu);
        button->setObjectName(QLatin1String(name));
        button->setMinimumSize(30, 33);
        button->setMaximumWidth(30);
        button->setCursor(Qt::ArrowCursor);
        button->setFocusPolicy(Qt::NoFocus);
        return button;
    };
    btnMenu_Min = windowButton("btnMenu_Min");
    btnMenu_Max = windowButton("btnMenu_Max");
    btnMenu_Close = windowButton("btnMenu_Close");

    horizontalLayout = new QHBoxLayout();
    horizontalLayout->setObjectName(QStringLiteral("horizontalLayout"));
    horizontalLayout->setSpacing(0);
    horizontalLayout->setContentsMargins(0, 0, 0, 0);
    horizontalLayout->addWidget(btnMenu);
    horizontalLayout->addWidget(btnMenu_Min);
    horizontalLayout->addWidget(btnMenu_Max);
    horizontalLayout->addWidget(btnMenu_Close);

    // The buttons hug the top edge however tall a subclass makes the title bar.
    auto *column = new QVBoxLayout(widgetMenu);
    column->setContentsMargins(0, 0, 0, 0);
    column->addLayout(horizontalLayout);
    column->addItem(new QSpacerItem(20, 0, QSizePolicy::Minimum, QSizePolicy::Expanding));
    return widgetMenu;
}

void MainAppWindow::initForm()
{
    initControl();

    connect(btnMenu_Min, SIGNAL(clicked(bool)), this, SLOT(onbtnMenu_Min_clicked()));
    connect(btnMenu_Max, SIGNAL(clicked(bool)), this, SLOT(onbtnMenu_Max_clicked()));
    connect(btnMenu_Close, SIGNAL(clicked(bool)), this, SLOT(onbtnMenu_Close_clicked()));

    setIconMain(GlyphMain, 11);
    setIcon(QUIHelper::MenuButton, GlyphMenu, 9);
    setIcon(QUIHelper::MinButton, GlyphMin, 9);
    setIcon(QUIHelper::MaxButtonNormal, GlyphMaximise, 9);
    setIcon(QUIHelper::CloseButton, GlyphClose, 9);

    isMaximised = false;
    savedGeometry = geometry();

    setProperty("form", true);
    widgetTitle->setProperty("form", "title");
    setWindowFlags(Qt::FramelessWindowHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
        | Qt::WindowMaximizeButtonHint);

    titleText = QLatin1String(UntitledText);
    titleAlignment = Qt::AlignLeft | Qt::AlignVCenter;

    installEventFilter(this);
    widgetTitle->installEventFilter(this);

    createSkinMenu();
    EdgeResizer::install(this, [this] { return !isMaximised; });
}

void MainAppWindow::createSkinMenu()
{
    for (int index = 0; index < MenuSkinCount; ++index) {
        auto *action = new QAction(QUIHelper::skinDisplayName(index), this);
        action->setData(index);
        btnMenu->addAction(action);
        connect(action, SIGNAL(triggered(bool)), this, SLOT(changeStyle()));
    }
}

void MainAppWindow::retranslateSkinMenu()
{
    const QList<QAction *> actions = btnMenu->actions();
    for (QAction *action : actions)
        action->setText(QUIHelper::skinDisplayName(action->data().toInt()));
}

// The row comes from the action's index, not from its text: in English the text is a
// translated name that the table of Chinese names does not hold.
void MainAppWindow::changeStyle()
{
    auto *action = qobject_cast<QAction *>(sender());
    const int index = action ? action->data().toInt() : -1;
    QString qssFile = QStringLiteral(":/qss/blue.css");
    if (action && index >= 0) {
        QUIHelper::applySkin(index);
        qssFile = QUIHelper::skinFile(index);
        emit skinChosen(index);
    }
    emit changeStyle(qssFile);
}

void MainAppWindow::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange && btnMenu)
        retranslateSkinMenu();
    QMainWindow::changeEvent(event);
}

void MainAppWindow::setIcon(QUIHelper::Widget widget, QChar str, quint32 size)
{
    IconHelper *icons = IconHelper::instance();
    switch (widget) {
    case QUIHelper::TitleIcon:
        setIconMain(str, size);
        break;
    case QUIHelper::MenuButton:
        GlyphMenu = str;
        icons->setGlyph(btnMenu, str, size);
        break;
    case QUIHelper::MinButton:
        GlyphMin = str;
        icons->setGlyph(btnMenu_Min, str, size);
        break;
    case QUIHelper::MaxButtonMaximised:
        GlyphRestore = str;
        icons->setGlyph(btnMenu_Max, str, size);
        break;
    case QUIHelper::MaxButtonNormal:
        GlyphMaximise = str;
        icons->setGlyph(btnMenu_Max, str, size);
        break;
    case QUIHelper::CloseButton:
        GlyphClose = str;
        icons->setGlyph(btnMenu_Close, str, size);
        break;
    }
}

void MainAppWindow::setIconMain(QChar str, quint32 size)
{
    GlyphMain = str;
    IconHelper::instance()->setGlyph(labIco, str, size);
}

void MainAppWindow::setTitle(const QString &title)
{
    if (title == titleText)
        return;
    titleText = title;
    labTitle->setText(title);
    setWindowTitle(labTitle->text());
}

void MainAppWindow::setAlignment(Qt::Alignment alignment)
{
    if (alignment == titleAlignment)
        return;
    titleAlignment = alignment;
    labTitle->setAlignment(alignment);
}

void MainAppWindow::onbtnMenu_Min_clicked()
{
    showMinimized();
}

void MainAppWindow::onbtnMenu_Max_clicked()
{
    if (isMaximised) {
        setGeometry(savedGeometry);
        setIcon(QUIHelper::MaxButtonNormal, GlyphMaximise, 9);
    } else {
        savedGeometry = geometry();
        maximiseToWorkArea();
        setIcon(QUIHelper::MaxButtonMaximised, GlyphRestore, 9);
    }
    isMaximised = !isMaximised;
    qDebug() << "onbtnMenu_Max_clicked" << isMaximised << geometry() << isMaximized()
             << isMinimized() << savedGeometry;
}

// The platform's maximised state is never used: it would hide the drawn title
// bar's behaviour behind the window manager's, so maximising is a plain
// geometry change to the work area of the screen holding the window's centre.
void MainAppWindow::maximiseToWorkArea()
{
    const QPoint centre = geometry().center();
    const QList<QScreen *> screens = QGuiApplication::screens();
    for (QScreen *screen : screens) {
        if (screen->availableGeometry().contains(centre)) {
            setGeometry(screen->availableGeometry());
            return;
        }
    }
}

// The window closes like any other, so that whatever it holds (a serial port and its lock
// file, an open recording, the settings) is let go on the way out; with the last window
// gone the program ends.
void MainAppWindow::onbtnMenu_Close_clicked()
{
    emit closing();
    close();
}

bool MainAppWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonDblClick) {
        if (watched == widgetTitle && btnMenu_Max->isVisible()) {
            onbtnMenu_Max_clicked();
            return true;
        }
        return QMainWindow::eventFilter(watched, event);
    }
    if (drag.handle(this, event, !isMaximised))
        return true;
    return QMainWindow::eventFilter(watched, event);
}
