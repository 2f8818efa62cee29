// SPDX-License-Identifier: GPL-3.0-or-later
#include "recordingpages.h"

#include "comparepage.h"
#include "playbackpage.h"
#include "quihelper.h"

#include <QDir>
#include <QFileDialog>
#include <QSettings>
#include <QStackedWidget>
#include <QStandardPaths>

namespace {

const char *const FolderKey = "recordingsFolder";

} // namespace

RecordingPages::RecordingPages(QStackedWidget *stack, QSettings *settings, QWidget *dialogParent)
    : QObject(stack)
    , m_stack(stack)
    , m_settings(settings)
    , m_dialogParent(dialogParent)
    , m_playback(new PlaybackPage(stack))
    , m_compare(new ComparePage(stack))
{
    m_playback->setObjectName(QStringLiteral("playbackPage"));
    m_compare->setObjectName(QStringLiteral("comparePage"));
    stack->addWidget(m_playback);
    stack->addWidget(m_compare);
    const auto tell = [](const QString &message) { QUIHelper::showError(message); };
    connect(m_playback, &PlaybackPage::openFailed, this, tell);
    connect(m_compare, &ComparePage::openFailed, this, tell);
}

QString RecordingPages::recordingsFolder() const
{
    const QString fallback
        = QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
              .filePath(QStringLiteral("Ammeter"));
    return m_settings ? m_settings->value(FolderKey, fallback).toString() : fallback;
}

bool RecordingPages::open(const QStringList &fileNames)
{
    if (fileNames.size() == 1)
        return openPlayback(fileNames.first());
    if (fileNames.size() > 1)
        return openCompare(fileNames);
    return false;
}

void RecordingPages::choosePlayback()
{
    const QString fileName = QFileDialog::getOpenFileName(m_dialogParent, tr("回放记录"),
        recordingsFolder(), tr("记录 (*.csv *.jsonl);;所有文件 (*)"));
    if (!fileName.isEmpty())
        openPlayback(fileName);
}

void RecordingPages::chooseCompare()
{
    const QStringList fileNames
        = QFileDialog::getOpenFileNames(m_dialogParent, tr("选择 2 到 4 个记录进行对比"),
            recordingsFolder(), tr("记录 (*.csv *.jsonl);;所有文件 (*)"));
    if (fileNames.isEmpty())
        return;
    if (fileNames.size() < 2 || fileNames.size() > ComparePage::MaximumRuns) {
        QUIHelper::showError(tr("请选择 2 到 4 个记录进行对比。"));
        return;
    }
    openCompare(fileNames);
}

// The page is shown at once and fills in as the file is read; the window goes on measuring.
bool RecordingPages::openPlayback(const QString &fileName)
{
    m_playback->open(fileName);
    m_stack->setCurrentWidget(m_playback);
    return true;
}

bool RecordingPages::openCompare(const QStringList &fileNames)
{
    m_compare->open(fileNames);
    m_stack->setCurrentWidget(m_compare);
    return true;
}
