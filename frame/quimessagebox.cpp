// SPDX-License-Identifier: GPL-3.0-or-later
#include "quimessagebox.h"
#include "dragstate.h"
#include "iconhelper.h"
#include "titleglyphs.h"

#include <QCloseEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMutex>
#include <QMutexLocker>
#include <QPushButton>
#include <QSpacerItem>
#include <QTimer>
#include <QVBoxLayout>

using namespace TitleGlyphs;

namespace {

QUIMessageBox *self = nullptr;
QMutex selfMutex;

// Message boxes are dragged one at a time, so they share one drag state.
DragState drag;

// The answers keep the values of QMessageBox::Yes and QMessageBox::No.
constexpr int AnswerYes = 0x4000;
constexpr int AnswerNo = 0x10000;

enum MessageType { Information = 0, Question = 1, Error = 2 };

} // namespace

QUIMessageBox::QUIMessageBox(QWidget *parent)
    : QDialog(parent)
{
    initControl();
    initForm();
}

QUIMessageBox::~QUIMessageBox()
{
    delete widgetMain;
}

QUIMessageBox *QUIMessageBox::instance()
{
    if (!self) {
        QMutexLocker locker(&selfMutex);
        if (!self)
            self = new QUIMessageBox;
    }
    return self;
}

void QUIMessageBox::initControl()
{
    setObjectName(QStringLiteral("QUIMessageBox"));
    resize(280, 150);

    verticalLayout1 = new QVBoxLayout(this);
    verticalLayout1->setObjectName(QStringLiteral("verticalLayout1"));
    verticalLayout1->setSpacing(0);
    verticalLayout1->setContentsMargins(1, 1, 1, 1);

    createTitleBar();
    createBody();
    verticalLayout1->addWidget(widgetTitle);
    verticalLayout1->addWidget(widgetMain);

    connect(btnOk, SIGNAL(clicked()), this, SLOT(on_btnOk_clicked()));
    connect(btnMenu_Close, SIGNAL(clicked(bool)), this, SLOT(on_btnMenu_Close_clicked()));
    connect(btnCancel, SIGNAL(clicked()), this, SLOT(on_btnMenu_Close_clicked()));
}

void QUIMessageBox::createTitleBar()
{
    widgetTitle = new QWidget(this);
    widgetTitle->setObjectName(QStringLiteral("widgetTitle"));
    widgetTitle->setMinimumSize(0, 30);

    horizontalLayout3 = new QHBoxLayout(widgetTitle);
    horizontalLayout3->setObjectName(QStringLiteral("horizontalLayout3"));
    horizontalLayout3->setSpacing(0);
    horizontalLayout3->setContentsMargins(0, 0, 0, 0);

    labIco = new QLabel(widgetTitle);
    labIco->setObjectName(QStringLiteral("labIco"));
    labIco->setMinimumSize(30, 0);
    labIco->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    labIco->setAlignment(Qt::AlignCenter);

    labTitle = new QLabel(widgetTitle);
    labTitle->setObjectName(QStringLiteral("labTitle"));
    labTitle->setStyleSheet(QString());
    labTitle->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    labTime = new QLabel(widgetTitle);
    labTime->setObjectName(QStringLiteral("labTime"));
    labTime->setAlignment(Qt::AlignCenter);

    widgetMenu = new QWidget(widgetTitle);
    widgetMenu->setObjectName(QStringLiteral("widgetMenu"));
    horizontalLayout4 = new QHBoxLayout(widgetMenu);
    horizontalLayout4->setObjectName(QStringLiteral("horizontalLayout4"));
    horizontalLayout4->setSpacing(0);
    horizontalLayout4->setContentsMargins(0, 0, 0, 0);

    btnMenu_Close = new QPushButton(widgetMenu);
    btnMenu_Close->setObjectName(QStringLiteral("btnMenu_Close"));
    btnMenu_Close->setMinimumSize(30, 0);
    btnMenu_Close->setMaximumWidth(30);
    btnMenu_Close->setCursor(Qt::ArrowCursor);
    btnMenu_Close->setFocusPolicy(Qt::NoFocus);
    btnMenu_Close->setFlat(true);
    horizontalLayout4->addWidget(btnMenu_Close);

    horizontalLayout3->addWidget(labIco);
    horizontalLayout3->addWidget(labTitle);
    horizontalLayout3->addWidget(labTime);
    horizontalLayout3->addWidget(widgetMenu);
}

void QUIMessageBox::createBody()
{
    widgetMain = new QWidget(this);
    widgetMain->setObjectName(QStringLiteral("widgetMain"));
    widgetMain->setStyleSheet(QString());

    verticalLayout2 = new QVBoxLayout(widgetMain);
    verticalLayout2->setObjectName(QStringLiteral("verticalLayout2"));
    verticalLayout2->setSpacing(5);
    verticalLayout2->setContentsMargins(5, 5, 5, 5);

    frame = new QFrame(widgetMain);
    frame->setObjectName(QStringLiteral("frame"));
    frame->setFrameShape(QFrame::Box);
    frame->setFrameShadow(QFrame::Sunken);
    verticalLayout2->addWidget(frame);

    verticalLayout4 = new QVBoxLayout(frame);
    verticalLayout4->setObjectName(QStringLiteral("verticalLayout4"));
    verticalLayout4->setContentsMargins(-1, 9, -1, -1);

    labIcoMain = new QLabel(frame);
    labIcoMain->setObjectName(QStringLiteral("labIcoMain"));
    labIcoMain->setFixedSize(30, 30);
    labIcoMain->setStyleSheet(QStringLiteral("border-image: url(:/image/msg_info.png);"));

    labInfo = new QLabel(frame);
    labInfo->setObjectName(QStringLiteral("labInfo"));
    labInfo->setMinimumSize(0, 33);
    labInfo->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    labInfo->setWordWrap(true);
    labInfo->setScaledContents(false);

    horizontalLayout1 = new QHBoxLayout();
    horizontalLayout1->setObjectName(QStringLiteral("horizontalLayout1"));
    horizontalLayout1->addWidget(labIcoMain);
    horizontalLayout1->addItem(new QSpacerItem(5, 0, QSizePolicy::Fixed, QSizePolicy::Minimum));
    horizontalLayout1->addWidget(labInfo);
    verticalLayout4->addLayout(horizontalLayout1);

    btnOk = new QPushButton(QIcon(QStringLiteral(":/image/btn_ok.png")), tr("YES"), frame);
    btnOk->setObjectName(QStringLiteral("btnOk"));
    btnOk->setMinimumWidth(80);
    btnOk->setFocusPolicy(Qt::StrongFocus);

    btnCancel = new QPushButton(QIcon(QStringLiteral(":/image/btn_close.png")), tr("NO"), frame);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnCancel->setMinimumWidth(80);
    btnCancel->setFocusPolicy(Qt::StrongFocus);

    horizontalLayout2 = new QHBoxLayout();
    horizontalLayout2->setObjectName(QStringLiteral("horizontalLayout2"));
    horizontalLayout2->addItem(
        new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));
    horizontalLayout2->addWidget(btnOk);
    horizontalLayout2->addWidget(btnCancel);
    verticalLayout4->addLayout(horizontalLayout2);
}

void QUIMessageBox::initForm()
{
    IconHelper::instance()->setGlyph(labIco, GlyphMain, quint32(GlyphSize + 2));
    IconHelper::instance()->setGlyph(btnMenu_Close, GlyphClose, quint32(GlyphSize));

    setProperty("form", true);
    widgetTitle->setProperty("form", "title");
    setWindowFlags(Qt::WindowStaysOnTopHint | Qt::FramelessWindowHint | Qt::WindowSystemMenuHint
        | Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint);

    setFixedSize(280, 150);
    setWindowTitle(labTitle->text());
    labIcoMain->setFixedSize(30, 30);

    const QList<QPushButton *> buttons = frame->findChildren<QPushButton *>();
    for (QPushButton *button : buttons) {
        button->setMinimumWidth(80);
        button->setIconSize(QSize(18, 18));
    }

    closeSec = 0;
    currentSec = 0;
    // Ticks for the dialog's whole life; only a message with a countdown acts on them.
    timer = new QTimer(this);
    timer->setInterval(1000);
    connect(timer, SIGNAL(timeout()), this, SLOT(checkSec()));
    timer->start();

    installEventFilter(this);
}

void QUIMessageBox::checkSec()
{
    if (closeSec == 0)
        return;
    if (closeSec > currentSec)
        ++currentSec;
    else
        close();
    labTime->setText(tr("关闭倒计时 %1 s").arg(closeSec - currentSec + 1));
}

void QUIMessageBox::on_btnOk_clicked()
{
    done(AnswerYes);
    close();
}

void QUIMessageBox::on_btnMenu_Close_clicked()
{
    done(AnswerNo);
    close();
}

void QUIMessageBox::reject()
{
    on_btnMenu_Close_clicked();
}

void QUIMessageBox::setIconMain(QChar str, quint32 size)
{
    IconHelper::instance()->setGlyph(labIco, str, size);
}

void QUIMessageBox::setMessage(const QString &msg, int type, int closeSec)
{
    currentSec = 0;
    this->closeSec = closeSec;
    labTime->clear();
    checkSec();

    applyType(type);
    labInfo->setText(msg);
    labInfo->adjustSize();
    setWindowTitle(labTitle->text());
}

void QUIMessageBox::applyType(int type)
{
    switch (type) {
    case Information:
        labIcoMain->setStyleSheet(QStringLiteral("border-image: url(:/image/msg_info.png);"));
        labTitle->setText(tr("提示"));
        btnCancel->hide();
        break;
    case Question:
        labIcoMain->setStyleSheet(QStringLiteral("border-image: url(:/image/msg_question.png);"));
        labTitle->setText(tr("询问"));
        break;
    case Error:
        labIcoMain->setStyleSheet(QStringLiteral("border-image: url(:/image/msg_error.png);"));
        labTitle->setText(tr("错误"));
        btnCancel->hide();
        break;
    default:
        break;
    }
}

void QUIMessageBox::closeEvent(QCloseEvent *event)
{
    closeSec = 0;
    currentSec = 0;
    event->accept();
}

bool QUIMessageBox::eventFilter(QObject *watched, QEvent *event)
{
    if (drag.handle(this, event))
        return true;
    return QDialog::eventFilter(watched, event);
}
