// SPDX-License-Identifier: GPL-3.0-or-later
#include "savecontroller.h"

#include "appsettings.h"
#include "historyexport.h"
#include "measurementhistory.h"
#include "measurementsource.h"
#include "quihelper.h"

#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QImageWriter>
#include <QProgressDialog>
#include <QPushButton>
#include <QThread>
#include <QWidget>

namespace {

const QString CsvFilter = QStringLiteral("CSV (*.csv)");
const QString PngFilter = QStringLiteral("PNG (*.png)");
// A save quicker than this shows no progress at all.
const int ProgressAfterMs = 400;

QString timeOfDay(const QDateTime &time)
{
    return QLocale().toString(time, QLocale::ShortFormat);
}

} // namespace

SaveController::SaveController(QPushButton *button, const MeasurementSource *live, QWidget *window,
    const AppSettings *settings, QObject *parent)
    : QObject(parent)
    , m_live(live)
    , m_window(window)
    , m_settings(settings)
{
    connect(button, &QPushButton::clicked, this, &SaveController::onClicked);
}

SaveController::~SaveController()
{
    if (m_job) {
        *m_cancel = true;
        m_job->wait();
    }
}

QString SaveController::suggestedFileName() const
{
    return m_settings->recordingsFolder() + QStringLiteral("/ammeter-")
        + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"))
        + QStringLiteral(".csv");
}

QString SaveController::withSuffix(const QString &typed, const QString &suffix)
{
    return typed.endsWith(suffix, Qt::CaseInsensitive) ? typed : typed + suffix;
}

void SaveController::onClicked()
{
    // The folder may not exist yet; the dialog would then start somewhere else.
    QDir().mkpath(m_settings->recordingsFolder());
    QString filter = CsvFilter;
    const QString typed = QFileDialog::getSaveFileName(m_window, tr("保存"), suggestedFileName(),
        CsvFilter + QStringLiteral(";;") + PngFilter, &filter);
    if (typed.isEmpty())
        return;
    // The name is kept as typed: a dot in it is no suffix to be replaced, so "bench.v2" never
    // overwrites "bench.csv". The dialog confirmed only the name typed; another one that exists
    // is asked about here.
    const QString fileName
        = withSuffix(typed, filter == PngFilter ? QStringLiteral(".png") : QStringLiteral(".csv"));
    if (fileName != typed && QFileInfo::exists(fileName)
        && QUIHelper::askQuestion(
               tr("%1 已存在，要替换它吗？").arg(QDir::toNativeSeparators(fileName)))
            != QDialog::Accepted)
        return;
    saveTo(fileName);
}

bool SaveController::saveTo(const QString &fileName)
{
    if (m_job)
        return false;
    if (!fileName.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive)) {
        startCsv(fileName);
        return true;
    }
    QImageWriter writer(fileName, "png");
    const bool written = writer.write(m_window->grab().toImage());
    report(fileName, written, writer.errorString());
    return true;
}

// Only the copy of the samples is taken here, on the thread that appends to the history; the
// formatting and the writing, seconds for a day, run beside it.
void SaveController::startCsv(const QString &fileName)
{
    m_history = m_live->history();
    auto samples = std::make_shared<HistoryExport::Samples>(HistoryExport::snapshot(*m_history));
    const QDateTime start = m_history->startTime();
    m_cancel = std::make_shared<std::atomic<bool>>(false);
    m_progress = new QProgressDialog(
        tr("正在保存 %1").arg(QDir::toNativeSeparators(fileName)), tr("取消"), 0, 100, m_window);
    m_progress->setWindowModality(Qt::WindowModal);
    m_progress->setMinimumDuration(ProgressAfterMs);
    m_progress->setAttribute(Qt::WA_DeleteOnClose);
    connect(m_progress, &QProgressDialog::canceled, this, [cancel = m_cancel] { *cancel = true; });
    QPointer<QProgressDialog> progress = m_progress;
    m_job = QThread::create([this, fileName, samples, start, cancel = m_cancel, progress] {
        const HistoryExport::Result result
            = HistoryExport::writeCsv(fileName, *samples, start, *cancel, [progress](int percent) {
                  QMetaObject::invokeMethod(progress, [progress, percent] {
                      if (progress)
                          progress->setValue(percent);
                  });
              });
        QMetaObject::invokeMethod(
            this, [=] { onCsvDone(fileName, result.written, result.cancelled, result.reason); });
    });
    connect(m_job, &QThread::finished, m_job, &QObject::deleteLater);
    m_job->start();
}

void SaveController::onCsvDone(
    const QString &fileName, bool written, bool cancelled, const QString &reason)
{
    m_job = nullptr;
    if (m_progress)
        m_progress->close();
    if (cancelled) {
        emit finished(false);
        return;
    }
    report(fileName, written, reason);
}

// The history keeps full detail for its last day; a file of a longer window says where it
// starts.
void SaveController::report(const QString &fileName, bool written, const QString &reason)
{
    const QString path = QDir::toNativeSeparators(fileName);
    if (!written)
        QUIHelper::showError(tr("无法保存 %1：%2").arg(path, reason));
    else if (fileName.endsWith(QStringLiteral(".csv")) && !m_history->isComplete())
        QUIHelper::showInfo(tr("%1 含 %2 起的测量；更早的测量窗口只保留了概览，未写入。")
                                .arg(path,
                                    timeOfDay(m_history->startTime().addMSecs(
                                        qRound64(m_history->firstSeconds() * 1000)))));
    emit finished(written);
}
