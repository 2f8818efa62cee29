// SPDX-License-Identifier: GPL-3.0-or-later
#include "recordingcontroller.h"

#include "appsettings.h"
#include "measurementfeed.h"
#include "quihelper.h"
#include "skinnedicon.h"
#include "stopconditiontext.h"
#include "windowmeters.h"
#include "windowrecorder.h"

#include <QCoreApplication>
#include <QDir>
#include <QPushButton>

#include <algorithm>

RecordingController::RecordingController(
    QPushButton *button, WindowMeters *meters, const AppSettings *settings, QObject *parent)
    : QObject(parent)
    , m_button(button)
    , m_meters(meters)
    , m_settings(settings)
    , m_recorder(new WindowRecorder(this))
{
    connect(button, &QPushButton::clicked, this, &RecordingController::onClicked);
    // Every meter is recorded, the one the pages show or not; one plugged in during a
    // recording joins it.
    connect(meters, &WindowMeters::meterAdded, this, [this](const QString &meter) {
        const MeasurementFeed *feed = m_meters->feed(meter);
        connect(feed, &MeasurementFeed::measured, m_recorder,
            [this, meter, feed](const Measurement &measurement) {
                m_recorder->add(meter, measurement, feed->totals());
            });
    });
    connect(m_recorder, &WindowRecorder::started, this, &RecordingController::showState);
    connect(m_recorder, &WindowRecorder::stopped, this, &RecordingController::showState);
    connect(m_recorder, &WindowRecorder::failed, this, &RecordingController::onFailed);
    // Told without holding up the window: the test's end is news, not a question.
    connect(m_recorder, &WindowRecorder::conditionReached, this, [this](double elapsedSeconds) {
        QUIHelper::showInfo(
            StopConditionText::reached(m_recorder->stopCondition(), elapsedSeconds));
    });
    // The window may be torn down without its destructor running (the close button ends
    // the process at once): the file is closed on the way out all the same.
    connect(qApp, &QCoreApplication::aboutToQuit, this, &RecordingController::stop);
    showState();
}

// On the way out: the summaries go beside the recordings before the process ends.
void RecordingController::stop()
{
    m_recorder->stop();
    m_recorder->waitForSummaries();
}

void RecordingController::onClicked()
{
    if (m_recorder->isRecording()) {
        m_recorder->stop();
        return;
    }
    const bool jsonLines = m_settings->recordingFormat() == QLatin1String("jsonl");
    QStringList present = m_meters->meters();
    present.erase(std::remove_if(present.begin(), present.end(),
                      [this](const QString &meter) { return !m_meters->isPresent(meter); }),
        present.end());
    if (!m_recorder->start(m_settings->recordingsFolder(),
            jsonLines ? RecordWriter::Jsonl : RecordWriter::Csv, present))
        onFailed(m_recorder->errorMessage());
}

void RecordingController::onFailed(const QString &message)
{
    showState();
    QUIHelper::showError(message);
}

void RecordingController::showState()
{
    const bool recording = m_recorder->isRecording();
    m_button->setText(recording ? tr("停止录制") : tr("开始录制"));
    m_button->setIcon(
        SkinnedIcon::icon(recording ? QStringLiteral(":/current_src/stop12x12.png")
                                    : QStringLiteral(":/current_src/start12x12.png")));
    m_button->setToolTip(recording ? QDir::toNativeSeparators(m_recorder->filePath()) : QString());
}
