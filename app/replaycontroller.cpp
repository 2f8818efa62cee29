// SPDX-License-Identifier: GPL-3.0-or-later
#include "replaycontroller.h"

#include "commoncurrentusbdevice.h"
#include "currentandneedledevicewidget.h"
#include "currentdevicelinewidget.h"
#include "currentdevicewidget.h"
#include "kestravonsinglecurrentcustomplot.h"
#include "recordedrun.h"
#include "replaybar.h"
#include "runtotals.h"

ReplayController::ReplayController(
    CommonCurrentUSBDevice *device, const Pages &pages, ReplayBar *bar, QObject *parent)
    : QObject(parent)
    , m_device(device)
    , m_pages(pages)
    , m_bar(bar)
{
    m_bar->hide();
    connect(device, &CommonCurrentUSBDevice::parameterChanged, this,
        [this](float voltage, float current, float power) {
            m_lastLive[0] = voltage;
            m_lastLive[1] = current;
            m_lastLive[2] = power;
        });
    connect(&m_replayer, &RunReplayer::rowsReached, this, &ReplayController::onRowsReached);
    connect(&m_replayer, &RunReplayer::sought, this, &ReplayController::restartHistory);
    connectBar();
}

ReplayController::~ReplayController() = default;

void ReplayController::connectBar()
{
    connect(m_bar, &ReplayBar::pauseToggled, this, [this](bool paused) {
        m_replayer.setPaused(paused);
        m_bar->setPaused(paused);
    });
    connect(m_bar, &ReplayBar::speedChosen, &m_replayer, &RunReplayer::setSpeed);
    connect(m_bar, &ReplayBar::seekRequested, &m_replayer, &RunReplayer::seek);
    connect(m_bar, &ReplayBar::backToLive, this, &ReplayController::stop);
    connect(&m_replayer, &RunReplayer::positionChanged, m_bar, &ReplayBar::setPosition);
    connect(&m_replayer, &RunReplayer::finished, m_bar, [this] { m_bar->setPaused(true); });
}

void ReplayController::start(const RecordedRun *run)
{
    if (!isReplaying())
        holdLive();
    m_run = run;
    m_bar->setFileName(run->fileName());
    m_bar->setDuration(run->durationSeconds());
    m_bar->setPaused(false);
    m_bar->show();
    m_replayer.setSpeed(1);
    m_replayer.start(run);
    emit replayingChanged(true);
}

void ReplayController::stop()
{
    if (!isReplaying())
        return;
    m_replayer.stop();
    m_bar->hide();
    resumeLive();
    m_history.reset();
    m_run = nullptr;
    emit replayingChanged(false);
}

QList<KestravonSingleCurrentCustomPlot *> ReplayController::plots() const
{
    return m_pages.curve->findChildren<KestravonSingleCurrentCustomPlot *>()
        + m_pages.combined->findChildren<KestravonSingleCurrentCustomPlot *>();
}

// Only the pages' own connections are cut: the meter goes on being heard by everything else.
void ReplayController::holdLive()
{
    for (QObject *page : {static_cast<QObject *>(m_pages.curve),
             static_cast<QObject *>(m_pages.needle), static_cast<QObject *>(m_pages.combined)})
        disconnect(m_device, &CommonCurrentUSBDevice::parameterChanged, page, nullptr);
    m_live.clear();
    for (KestravonSingleCurrentCustomPlot *plot : plots())
        m_live.insert(plot, {plot->history(), plot->timeZero()});
}

void ReplayController::resumeLive()
{
    m_pages.curve->setDevice(m_device);
    m_pages.needle->setDevice(m_device);
    m_pages.combined->setDevice(m_device);
    for (auto it = m_live.cbegin(); it != m_live.cend(); ++it)
        it.key()->setHistory(it.value().first, it.value().second);
    // The pages show the meter's last word until its next one.
    showOnPages(m_lastLive[0], m_lastLive[1], m_lastLive[2]);
}

// The curves draw the replay from a history of their own, on the run's time axis; a jump of
// the position starts it again.
void ReplayController::restartHistory()
{
    auto history = std::make_unique<MeasurementHistory>(
        MeasurementHistory::DefaultCapacity, m_run->startTime());
    for (KestravonSingleCurrentCustomPlot *plot : plots())
        plot->setHistory(history.get(), 0);
    m_history = std::move(history);
}

void ReplayController::onRowsReached(qint64 first, qint64 last)
{
    RecordedRun::Row newest;
    m_run->visitRows(first, last, [this, &newest](const RecordedRun::Row &row) {
        if (m_history->size() > 0 && row.seconds - m_history->lastSeconds() > RunTotals::GapSeconds)
            m_history->append(MeasurementHistory::Sample::gap(
                m_history->lastSeconds() + RunTotals::GapSeconds / 2));
        m_history->append({row.seconds, float(row.voltage), float(row.current), float(row.power)});
        newest = row;
    });
    // At ten times and more several rows come due at once: the curves take them all from the
    // history, the numbers and needles show the newest.
    showOnPages(float(newest.voltage), float(newest.current), float(newest.power));
}

void ReplayController::showOnPages(float voltage, float current, float power)
{
    m_pages.curve->onParameterChanged(voltage, current, power);
    m_pages.needle->onParameterChanged(voltage, current, power);
    m_pages.combined->onParameterChanged(voltage, current, power);
}
