// SPDX-License-Identifier: GPL-3.0-or-later
#include "runloadbar.h"

#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QProgressBar>
#include <QPushButton>

RunLoadBar::RunLoadBar(QWidget *parent)
    : QWidget(parent)
    , m_progress(new QProgressBar(this))
    , m_cancel(new QPushButton(this))
{
    m_progress->setObjectName(QStringLiteral("barReading"));
    m_cancel->setObjectName(QStringLiteral("btnCancelReading"));
    m_progress->setRange(0, 100);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_progress, 1);
    layout->addWidget(m_cancel);
    hide();

    connect(m_cancel, &QPushButton::clicked, this, &RunLoadBar::cancel);
    connect(&m_loader, &RunLoader::sketched, this, &RunLoadBar::sketched);
    connect(&m_loader, &RunLoader::progressed, m_progress, &QProgressBar::setValue);
    connect(&m_loader, &RunLoader::loaded, this, [this](const RunLoader::Runs &runs) {
        hide();
        emit loaded(runs);
    });
    connect(&m_loader, &RunLoader::failed, this, [this](const RunLoader::Run &run) {
        hide();
        emit failed(failureText(*run));
    });
    connect(&m_loader, &RunLoader::cancelled, this, [this] {
        hide();
        emit cancelled();
    });
    retranslate();
}

void RunLoadBar::start(const QStringList &fileNames)
{
    m_loader.start(fileNames);
    m_progress->setValue(0);
    show();
}

void RunLoadBar::cancel()
{
    m_loader.cancel();
}

QString RunLoadBar::failureText(const RecordedRun &run)
{
    const QString name = QDir::toNativeSeparators(run.fileName());
    if (run.errorLine() > 0)
        return tr("%1 不是电流表的记录：第 %2 行不是测量数据。").arg(name).arg(run.errorLine());
    if (QFileInfo(run.fileName()).isReadable())
        return tr("%1 中没有测量数据。").arg(name);
    return tr("无法读取 %1。").arg(name);
}

void RunLoadBar::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QWidget::changeEvent(event);
}

void RunLoadBar::retranslate()
{
    m_progress->setFormat(tr("正在读取 %p%"));
    m_cancel->setText(tr("取消"));
}
