// SPDX-License-Identifier: GPL-3.0-or-later
#include "runstatusbar.h"

#include "batterylifetext.h"
#include "clocktext.h"
#include "runfigures.h"
#include "stopconditiontext.h"
#include "windowrecorder.h"

#include <QEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QShortcut>
#include <QStorageInfo>
#include <QToolButton>

namespace {

const char *const RecordingStyle = "color: rgb(255, 59, 48); font-weight: bold;";
const char *const WarningStyle = "color: rgb(255, 149, 0);";
// A disk that holds less than this much more of the recording is said to be filling up.
const double WarnSecondsLeft = 3600;
// A file name is the least needed part of the line: it gives way first.
const int MaxFileNameWidth = 240;
// A note marks a moment; a longer text belongs in a lab book.
const int MaxNoteLength = 80;

QString figure(double value)
{
    return QString::number(value, 'f', 3);
}

} // namespace

RunStatusBar::RunStatusBar(RunFigures *figures, WindowRecorder *recorder, QWidget *parent)
    : QWidget(parent)
    , m_figures(figures)
    , m_recorder(recorder)
    , m_recordingMark(new QLabel(this))
    , m_recordingDetails(new QLabel(this))
    , m_recordingFile(new QLabel(this))
    , m_noteEdit(new QLineEdit(this))
    , m_noteButton(new QToolButton(this))
    , m_figuresLabel(new QLabel(this))
    , m_batteryLabel(new QLabel(this))
    , m_resetButton(new QToolButton(this))
    , m_pace([this] { refresh(); })
{
    m_recordingMark->setObjectName(QStringLiteral("lblRecordingMark"));
    m_recordingMark->setStyleSheet(RecordingStyle);
    m_recordingDetails->setObjectName(QStringLiteral("lblRecordingDetails"));
    // The room left on the disk is read whole where the line has room for it; only a narrow
    // screen takes from it, after the file name and the battery estimate gave theirs.
    m_recordingDetails->setMinimumWidth(1);
    m_recordingFile->setObjectName(QStringLiteral("lblRecordingFile"));
    // The file name is the least needed part of the line: it gives way first.
    m_recordingFile->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_recordingFile->installEventFilter(this);
    m_batteryLabel->installEventFilter(this);
    m_figuresLabel->setObjectName(QStringLiteral("lblRunFigures"));
    m_figuresLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_noteEdit->setObjectName(QStringLiteral("editNote"));
    m_noteEdit->setMaxLength(MaxNoteLength);
    m_noteEdit->setMaximumWidth(160);
    m_noteButton->setObjectName(QStringLiteral("btnNote"));
    m_noteButton->setAutoRaise(true);
    m_batteryLabel->setObjectName(QStringLiteral("lblBatteryLife"));
    // Gives way before the figures on a narrow screen.
    m_batteryLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_resetButton->setObjectName(QStringLiteral("btnResetFigures"));
    m_resetButton->setAutoRaise(true);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 0, 6, 0);
    layout->setSpacing(8);
    layout->addWidget(m_recordingMark);
    layout->addWidget(m_recordingDetails);
    layout->addWidget(m_recordingFile, 1);
    layout->addWidget(m_noteEdit);
    layout->addWidget(m_noteButton);
    layout->addWidget(m_figuresLabel);
    layout->addWidget(m_batteryLabel, 1);
    layout->addWidget(m_resetButton);

    connect(m_resetButton, &QToolButton::clicked, figures, &RunFigures::reset);
    connect(m_noteButton, &QToolButton::clicked, this, &RunStatusBar::addNote);
    connect(m_noteEdit, &QLineEdit::returnPressed, this, &RunStatusBar::addNote);
    auto *noteShortcut = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_M), this);
    noteShortcut->setContext(Qt::WindowShortcut);
    connect(noteShortcut, &QShortcut::activated, this, &RunStatusBar::addNote);
    connect(recorder, &WindowRecorder::started, this, [this] { m_reachedSeconds = -1; });
    connect(recorder, &WindowRecorder::conditionReached, this, [this](double elapsedSeconds) {
        m_reached = m_recorder->stopCondition();
        m_reachedSeconds = elapsedSeconds;
        m_pace.now();
    });
    connect(figures, &RunFigures::changed, this, &RunStatusBar::onFiguresChanged);
    connect(recorder, &WindowRecorder::started, this, &RunStatusBar::measureDisk);
    for (auto signal : {&WindowRecorder::started, &WindowRecorder::stopped})
        connect(recorder, signal, this, [this] { m_pace.now(); });
    connect(recorder, &WindowRecorder::rowWritten, this, [this] { m_pace.soon(); });
    // The clocks move on between measurements, and with no meter at all.
    m_tick.setInterval(1000);
    connect(&m_tick, &QTimer::timeout, this, &RunStatusBar::measureDisk);
    connect(&m_tick, &QTimer::timeout, this, [this] { m_pace.now(); });
    m_tick.start();
    retranslate();
    m_pace.now();
}

QString RunStatusBar::clockText(qint64 seconds)
{
    return ::clockText(double(seconds));
}

void RunStatusBar::setBattery(double capacityMah, double usableFraction)
{
    m_capacityMah = capacityMah;
    m_usableFraction = usableFraction;
    showFigures();
}

// A measurement more waits for the pace of reading; a new run, a reset or a meter gone is shown
// at once, so that no figures of a run that ended stay on screen.
void RunStatusBar::onFiguresChanged()
{
    if (m_figures->hasRun() == m_shownHasRun && m_figures->isRunning() == m_shownRunning
        && m_figures->totals().count() > m_shownCount)
        m_pace.soon();
    else
        m_pace.now();
}

// The note is taken with the moment it was asked for; an empty one still marks the moment.
void RunStatusBar::addNote()
{
    if (!m_recorder->isRecording())
        return;
    const QString text = m_noteEdit->text().trimmed();
    m_recorder->note(RunEvent::Note, text.isEmpty() ? tr("标记") : text);
    m_noteEdit->clear();
}

void RunStatusBar::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange) {
        retranslate();
        m_pace.now();
    }
    QWidget::changeEvent(event);
}

bool RunStatusBar::eventFilter(QObject *watched, QEvent *event)
{
    if ((watched == m_recordingFile || watched == m_batteryLabel)
        && event->type() == QEvent::Resize)
        showElided();
    return QWidget::eventFilter(watched, event);
}

void RunStatusBar::retranslate()
{
    m_noteButton->setText(tr("标记"));
    m_noteButton->setToolTip(tr("在录制中记下此刻，附上左边的说明（Ctrl+M）"));
    m_noteEdit->setPlaceholderText(tr("说明"));
    m_resetButton->setText(tr("清零"));
    m_resetButton->setToolTip(tr("从现在起重新统计"));
}

void RunStatusBar::refresh()
{
    showRecording();
    showFigures();
    const QString clock = clockText(
        m_recorder->isRecording() ? m_recorder->elapsedSeconds() : m_figures->elapsedSeconds());
    if (clock != m_clock) {
        m_clock = clock;
        emit clockChanged(clock);
    }
}

void RunStatusBar::showRecording()
{
    const bool recording = m_recorder->isRecording();
    m_recordingMark->setVisible(recording);
    m_recordingDetails->setVisible(recording || m_reachedSeconds >= 0);
    m_noteEdit->setVisible(recording);
    m_noteButton->setVisible(recording);
    m_recordingFile->setVisible(recording);
    if (!recording) {
        m_recordingDetails->setText(m_reachedSeconds >= 0
                ? StopConditionText::reached(m_reached, m_reachedSeconds)
                : QString());
        return;
    }
    m_recordingMark->setText(tr("● 录制中 %1").arg(clockText(m_recorder->elapsedSeconds())));
    const QString fileName = QFileInfo(m_recorder->filePath()).fileName();
    if (fileName != m_fileName) {
        m_fileName = fileName;
        m_recordingFile->setMaximumWidth(
            qMin(MaxFileNameWidth, m_recordingFile->fontMetrics().horizontalAdvance(fileName) + 1));
        m_recordingFile->setToolTip(fileName);
        showElided();
    }
    const QLocale locale;
    const qint64 size = QFileInfo(m_recorder->filePath()).size();
    QString disk = tr("%1，磁盘剩余 %2")
                       .arg(locale.formattedDataSize(size), locale.formattedDataSize(m_roomLeft));
    // The recording's own pace tells how long the room lasts; its first seconds are too few.
    const qint64 seconds = m_recorder->elapsedSeconds();
    const bool filling
        = seconds >= 10 && size > 0 && double(m_roomLeft) * seconds / size < WarnSecondsLeft;
    if (filling)
        disk += tr("，不足一小时");
    // A new sheet restyles the label even when it is the same sheet.
    const QString style = filling ? QString::fromLatin1(WarningStyle) : QString();
    if (m_recordingDetails->styleSheet() != style)
        m_recordingDetails->setStyleSheet(style);
    const QString target = StopConditionText::target(m_recorder->stopCondition());
    m_recordingDetails->setText((target.isEmpty() ? QString() : tr("录制至%1").arg(target) + "  ")
        + tr("%n 行", nullptr, int(m_recorder->rows())) + QStringLiteral("  ") + disk);
}

// In the room the line leaves them, cut where it shows: the whole texts are in the tooltips.
void RunStatusBar::showElided()
{
    m_recordingFile->setText(m_recordingFile->fontMetrics().elidedText(
        m_fileName, Qt::ElideMiddle, m_recordingFile->width()));
    m_batteryLabel->setText(m_batteryLabel->fontMetrics().elidedText(
        m_batteryLabel->toolTip(), Qt::ElideRight, m_batteryLabel->width()));
}

// Once a second: finding a file's disk reads the system's list of mounts.
void RunStatusBar::measureDisk()
{
    if (m_recorder->isRecording())
        m_roomLeft
            = QStorageInfo(QFileInfo(m_recorder->filePath()).absolutePath()).bytesAvailable();
}

void RunStatusBar::showFigures()
{
    m_shownHasRun = m_figures->hasRun();
    m_shownRunning = m_figures->isRunning();
    m_shownCount = m_figures->totals().count();
    const bool estimated = m_figures->hasRun() && m_figures->totals().count() > 0;
    m_batteryLabel->setVisible(estimated);
    if (estimated) {
        m_batteryLabel->setToolTip(BatteryLifeText::estimate(
            m_capacityMah, m_usableFraction, m_figures->totals().meanCurrent()));
        // Never more room than its whole text: what it leaves is the recording state's.
        m_batteryLabel->setMaximumWidth(
            m_batteryLabel->fontMetrics().horizontalAdvance(m_batteryLabel->toolTip()) + 1);
        showElided();
    }
    if (!m_figures->hasRun()) {
        const QString dash = QStringLiteral("–");
        m_figuresLabel->setText(tr("本次 %1  电流 最小 %2 / 平均 %3 / 最大 %4 A  %5 mAh  %6 mWh")
                                    .arg(QStringLiteral("--:--:--"), dash, dash, dash, dash, dash));
        return;
    }
    const RunStretch &totals = m_figures->totals();
    const bool measured = totals.count() > 0;
    const auto value
        = [measured](double number) { return measured ? figure(number) : QStringLiteral("–"); };
    m_figuresLabel->setText(
        tr("本次 %1  电流 最小 %2 / 平均 %3 / 最大 %4 A  %5 mAh  %6 mWh")
            .arg(clockText(m_figures->elapsedSeconds()), value(totals.minimumCurrent()),
                value(totals.meanCurrent()), value(totals.maximumCurrent()),
                figure(totals.chargeMilliampereHours()), figure(totals.energyMilliwattHours())));
    // The estimate beside them gives way first, and the figures stay whole.
    m_figuresLabel->setMinimumWidth(m_figuresLabel->sizeHint().width());
}
