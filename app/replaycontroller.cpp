// SPDX-License-Identifier: GPL-3.0-or-later
#include "replaycontroller.h"

#include "pagesource.h"
#include "recordedrun.h"
#include "replaybar.h"

ReplayController::ReplayController(
    PageSource *pages, const MeasurementSource *live, ReplayBar *bar, QObject *parent)
    : QObject(parent)
    , m_pages(pages)
    , m_live(live)
    , m_bar(bar)
{
    m_bar->hide();
    connect(&m_replayer, &RunReplayer::rowsReached, &m_source, &ReplaySource::reach);
    connect(&m_replayer, &RunReplayer::sought, this, [this] { m_source.restart(m_run); });
    connectBar();
}

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
    m_run = run;
    m_bar->setFileName(run->fileName());
    m_bar->setDuration(run->durationSeconds());
    m_bar->setPaused(false);
    m_bar->show();
    m_replayer.setSpeed(1);
    m_replayer.start(run);
    m_pages->follow(&m_source);
    emit replayingChanged(true);
}

void ReplayController::stop()
{
    if (!isReplaying())
        return;
    m_replayer.stop();
    m_bar->hide();
    m_pages->follow(m_live);
    m_source.end();
    m_run = nullptr;
    emit replayingChanged(false);
}
