// SPDX-License-Identifier: GPL-3.0-or-later
#include "savecontroller.h"

#include "measurementhistory.h"
#include "quihelper.h"
#include "recordingcontroller.h"
#include "recordwriter.h"
#include "runtotals.h"

#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QImageWriter>
#include <QPushButton>
#include <QWidget>

#include <limits>

namespace {

const QString CsvFilter = QStringLiteral("CSV (*.csv)");
const QString PngFilter = QStringLiteral("PNG (*.png)");

} // namespace

SaveController::SaveController(QPushButton *button, const MeasurementHistory *history,
    QWidget *window, QSettings *settings, QObject *parent)
    : QObject(parent)
    , m_history(history)
    , m_window(window)
    , m_settings(settings)
{
    connect(button, &QPushButton::clicked, this, &SaveController::onClicked);
}

QString SaveController::suggestedFileName() const
{
    return RecordingController::recordingsFolder(m_settings) + QStringLiteral("/ammeter-")
        + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"))
        + QStringLiteral(".csv");
}

void SaveController::onClicked()
{
    // The folder may not exist yet; the dialog would then start somewhere else.
    QDir().mkpath(RecordingController::recordingsFolder(m_settings));
    QString filter = CsvFilter;
    QString fileName = QFileDialog::getSaveFileName(m_window, tr("保存"), suggestedFileName(),
        CsvFilter + QStringLiteral(";;") + PngFilter, &filter);
    if (fileName.isEmpty())
        return;
    const QString suffix = filter == PngFilter ? QStringLiteral(".png") : QStringLiteral(".csv");
    if (!fileName.endsWith(suffix, Qt::CaseInsensitive)) {
        fileName = QFileInfo(fileName).path() + QLatin1Char('/')
            + QFileInfo(fileName).completeBaseName() + suffix;
    }
    saveTo(fileName);
}

bool SaveController::saveTo(const QString &fileName)
{
    QString reason;
    bool saved = false;
    if (fileName.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive)) {
        QImageWriter writer(fileName, "png");
        saved = writer.write(m_window->grab().toImage());
        reason = writer.errorString();
    } else {
        saved = saveCsv(fileName, &reason);
    }
    if (!saved)
        QUIHelper::showError(tr("无法保存 %1：%2").arg(QDir::toNativeSeparators(fileName), reason));
    return saved;
}

// The rows a recording of the whole history would have had: the same columns,
// the same totals, the elapsed column counted from the window's start.
bool SaveController::saveCsv(const QString &fileName, QString *reason) const
{
    RecordWriter writer;
    if (!writer.open(fileName, RecordWriter::Csv)) {
        *reason = writer.reason();
        return false;
    }
    RunTotals totals;
    bool written = true;
    const QDateTime start = m_history->startTime();
    m_history->visit(m_history->firstSeconds(), std::numeric_limits<double>::max(),
        [&](const MeasurementHistory::Sample &sample) {
            if (!written || sample.isGap())
                return;
            Measurement measurement;
            measurement.time = start.addMSecs(qRound64(sample.seconds * 1000));
            measurement.elapsedSeconds = sample.seconds;
            measurement.voltage = double(sample.voltage);
            measurement.current = double(sample.current);
            measurement.power = double(sample.power);
            totals.add(measurement);
            written = writer.write(
                measurement, totals.chargeMilliampereHours(), totals.energyMilliwattHours());
        });
    if (!written)
        *reason = writer.reason();
    return written;
}
