// SPDX-License-Identifier: GPL-3.0-or-later
#include "playbackpage.h"

#include "contrast.h"
#include "displaycolors.h"

#include "batterypanel.h"
#include "eventlist.h"
#include "eventlog.h"
#include "eventmarkers.h"
#include "runloadbar.h"
#include "runview.h"

#include <QCheckBox>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const char *const labelStyle = "color: white;";

QString clock(double seconds)
{
    const qint64 tenths = qRound64(seconds * 10);
    return QStringLiteral("%1:%2:%3.%4")
        .arg(tenths / 36000, 2, 10, QLatin1Char('0'))
        .arg(tenths / 600 % 60, 2, 10, QLatin1Char('0'))
        .arg(tenths / 10 % 60, 2, 10, QLatin1Char('0'))
        .arg(tenths % 10);
}

QString range(const RunTotals &totals, const RunTotals::Range &range, double scale, int decimals)
{
    return QStringLiteral("%1 / %2 / %3")
        .arg(scale * range.min, 0, 'f', decimals)
        .arg(scale * totals.mean(range), 0, 'f', decimals)
        .arg(scale * range.max, 0, 'f', decimals);
}

} // namespace

PlaybackPage::PlaybackPage(QWidget *parent)
    : QWidget(parent)
    , m_heading(new QLabel(this))
    , m_voltage(new QCheckBox(this))
    , m_power(new QCheckBox(this))
    , m_fit(new QPushButton(this))
    , m_markers(new QToolButton(this))
    , m_fixValues(new QToolButton(this))
    , m_replay(new QPushButton(this))
    , m_loadBar(new RunLoadBar(this))
    , m_view(new RunView(this))
    , m_figures(new QLabel(this))
    , m_eventList(new EventList(this))
    , m_eventMarkers(new EventMarkers(m_view))
    , m_battery(new BatteryPanel(this))
{
    m_heading->setObjectName(QStringLiteral("lblPlaybackHeading"));
    m_figures->setObjectName(QStringLiteral("lblPlaybackFigures"));
    m_fit->setObjectName(QStringLiteral("btnFit"));
    m_markers->setObjectName(QStringLiteral("btnMarkers"));
    m_fixValues->setObjectName(QStringLiteral("btnFixValues"));
    // Tool buttons: every skin shows whether a tool button is down, and these two stay down.
    m_markers->setCheckable(true);
    m_fixValues->setCheckable(true);
    m_replay->setObjectName(QStringLiteral("btnReplay"));
    m_replay->setEnabled(false);
    // Dark under every skin, like the live pages, so the quantities' colours read the same.
    DisplayColors::paintInstrumentBackground(this);
    m_heading->setStyleSheet(QStringLiteral("color: rgb(26, 159, 254); font-size: 16pt;"));
    m_figures->setStyleSheet(QString::fromLatin1(labelStyle));
    m_figures->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // Long file names and figures wrap rather than widen the window past a laptop's screen.
    m_heading->setWordWrap(true);
    m_figures->setWordWrap(true);
    setQuantityColours(QuantityColours::standard());

    auto *controls = new QHBoxLayout;
    controls->addWidget(m_heading, 1);
    controls->addWidget(m_voltage);
    controls->addWidget(m_power);
    controls->addWidget(m_fit);
    controls->addWidget(m_markers);
    controls->addWidget(m_fixValues);
    controls->addWidget(m_replay);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(controls);
    layout->addWidget(m_loadBar);
    auto *curveAndEvents = new QHBoxLayout;
    curveAndEvents->addWidget(m_view, 1);
    m_eventList->setMaximumWidth(260);
    m_eventList->hide();
    curveAndEvents->addWidget(m_eventList);
    layout->addLayout(curveAndEvents, 1);
    layout->addWidget(m_figures);
    layout->addWidget(m_battery);

    const auto showQuantities
        = [this] { m_view->setQuantitiesShown(m_voltage->isChecked(), m_power->isChecked()); };
    connect(m_voltage, &QCheckBox::toggled, this, showQuantities);
    connect(m_power, &QCheckBox::toggled, this, showQuantities);
    connect(m_fit, &QPushButton::clicked, m_view, [this] {
        m_view->clearSelection();
        m_view->fit();
    });
    connect(m_markers, &QToolButton::clicked, m_view, &RunView::showMarkers);
    connect(m_fixValues, &QToolButton::toggled, m_view, &RunView::setValuesFixed);
    connect(m_view, &RunView::valuesFixedChanged, m_fixValues, &QToolButton::setChecked);
    connect(m_replay, &QPushButton::clicked, this, &PlaybackPage::replayRequested);
    connect(m_eventList, &EventList::eventChosen, this, &PlaybackPage::showAround);
    connect(m_view, &RunView::visibleRangeChanged, this, &PlaybackPage::updateFigures);
    connect(m_view, &RunView::selectionChanged, this, [this] {
        m_markers->setChecked(m_view->hasSelection());
        updateFigures();
    });
    connect(m_loadBar, &RunLoadBar::sketched, this, [this](int, const RunSketch &sketch) {
        m_sketchSeconds = sketch.durationSeconds();
        m_view->showSketch(0, sketch);
        updateHeading();
    });
    connect(m_loadBar, &RunLoadBar::loaded, this, [this](const RunLoader::Runs &runs) {
        showRun(runs.front());
        emit opened();
    });
    // After a failure or a cancel the page is that of no file: the sketch goes too.
    const auto showNoRun = [this] { showRun(std::make_shared<RecordedRun>()); };
    connect(m_loadBar, &RunLoadBar::failed, this, [this, showNoRun](const QString &message) {
        m_errorText = message;
        showNoRun();
        emit openFailed(message);
    });
    connect(m_loadBar, &RunLoadBar::cancelled, this, showNoRun);
    showRun(std::make_shared<RecordedRun>());
    retranslate();
}

void PlaybackPage::setQuantityColours(const QuantityColours &colours)
{
    const auto textIn = [](const QColor &colour) {
        return QStringLiteral("color: %1;")
            .arg(Contrast::readableOn(colour, DisplayColors::background).name());
    };
    m_voltage->setStyleSheet(textIn(colours.voltage));
    m_power->setStyleSheet(textIn(colours.power));
    m_view->setQuantityColours(colours);
}

// The page is emptied at once: what it shows while a file is read, and after a failure or a
// cancel, is that file's page, not the one before. A kept summary gives the whole page at
// once; a file read anew shows its sketch and length first, then everything with its last row.
void PlaybackPage::open(const QString &fileName)
{
    emit runChanged();
    showRun(std::make_shared<RecordedRun>());
    m_loadingName = QFileInfo(fileName).fileName();
    m_sketchSeconds = -1;
    m_loadBar->start({fileName});
    updateHeading();
}

bool PlaybackPage::isLoading() const
{
    return m_loadBar->isLoading();
}

void PlaybackPage::cancelLoading()
{
    m_loadBar->cancel();
}

void PlaybackPage::showRun(const RunLoader::Run &run)
{
    m_run = run;
    // The events file is a few lines beside the recording.
    m_events = run->isEmpty() ? RunEvents() : EventLog::read(run->fileName());
    m_battery->setRun(run.get(), m_events);
    m_replay->setEnabled(!run->isEmpty());
    m_view->setRuns(
        run->isEmpty() ? QVector<const RecordedRun *>() : QVector<const RecordedRun *> {run.get()});
    m_view->setQuantitiesShown(m_voltage->isChecked(), m_power->isChecked());
    updateHeading();
    updateFigures();
    showEvents();
}

void PlaybackPage::showEvents()
{
    m_eventMarkers->clear();
    m_eventMarkers->add(*m_run, m_events, Qt::white);
    m_eventList->setEvents(*m_run, m_events);
}

// The event in the middle of what is in view, the zoom kept.
void PlaybackPage::showAround(double seconds)
{
    const double half = m_view->visibleSeconds().size() / 2;
    m_view->showSeconds(seconds - half, seconds + half);
}

void PlaybackPage::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QWidget::changeEvent(event);
}

void PlaybackPage::retranslate()
{
    m_voltage->setText(tr("电压"));
    m_power->setText(tr("功率"));
    m_fit->setText(tr("全部显示"));
    m_replay->setText(tr("在实时页面回放"));
    m_replay->setToolTip(tr("把记录当作电流表的测量送到曲线、指针和组合页面"));
    m_fit->setToolTip(tr("双击曲线也可显示整个记录；按住 Shift 拖动可选取一段"));
    m_markers->setText(tr("标记"));
    m_markers->setToolTip(tr("在可见范围中放两条标记线，拖动它们选取一段，下方显示这一段的数值"));
    m_fixValues->setText(tr("固定纵轴"));
    m_fixValues->setToolTip(tr("纵轴不再随可见数据缩放，可上下拖动；按住 Ctrl 转动滚轮可缩放纵轴"));
    updateHeading();
    updateFigures();
    if (!m_run->isEmpty())
        showEvents();
}

void PlaybackPage::updateHeading()
{
    if (m_loadBar->isLoading()) {
        m_heading->setText(m_sketchSeconds < 0
                ? tr("回放：正在读取 %1").arg(m_loadingName)
                : tr("回放：正在读取 %1 · 时长 %2").arg(m_loadingName, clock(m_sketchSeconds)));
        return;
    }
    if (m_run->isEmpty()) {
        m_heading->setText(tr("回放：请选择一个记录文件"));
        return;
    }
    QString text = tr("%1 · 开始于 %2 · 时长 %3")
                       .arg(QFileInfo(m_run->fileName()).fileName(),
                           m_run->startTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
                           clock(m_run->durationSeconds()));
    if (m_run->skippedTornLine())
        text += tr(" · 最后一行不完整，已跳过");
    m_heading->setText(text);
}

QString PlaybackPage::describe(const RunTotals &totals)
{
    return tr("时长 %1 · %2 行 · 电荷 %3 mAh · 能量 %4 mWh\n"
              "最小 / 平均 / 最大：电压 %5 V · 电流 %6 mA · 功率 %7 W")
        .arg(clock(totals.durationSeconds()))
        .arg(totals.count())
        .arg(totals.chargeMilliampereHours(), 0, 'f', 3)
        .arg(totals.energyMilliwattHours(), 0, 'f', 3)
        .arg(range(totals, totals.voltage(), 1, 3), range(totals, totals.current(), 1000, 3),
            range(totals, totals.power(), 1, 3));
}

void PlaybackPage::updateFigures()
{
    if (m_run->isEmpty()) {
        m_figures->clear();
        return;
    }
    const bool selected = m_view->hasSelection();
    const QCPRange seconds = selected ? m_view->selection() : m_view->visibleSeconds();
    const QString scope = selected ? tr("选区") : tr("可见范围");
    m_battery->setSelection(selected, seconds.lower, seconds.upper);
    m_figures->setText(
        scope + QStringLiteral(" · ") + describe(m_run->totals(seconds.lower, seconds.upper)));
}
