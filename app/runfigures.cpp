// SPDX-License-Identifier: GPL-3.0-or-later
#include "runfigures.h"

#include "measurementfeed.h"

RunFigures::RunFigures(MeasurementFeed *feed, QObject *parent)
    : QObject(parent)
    , m_feed(feed)
{
    connect(feed, &MeasurementFeed::meterArrived, this, &RunFigures::begin);
    connect(feed, &MeasurementFeed::meterLeft, this, &RunFigures::onMeterLeft);
    connect(feed, &MeasurementFeed::measured, this, &RunFigures::onMeasured);
}

qint64 RunFigures::elapsedSeconds() const
{
    return (m_running ? m_clock.elapsed() : m_frozenMs) / 1000;
}

void RunFigures::reset()
{
    if (m_feed->isOnline()) {
        begin();
        return;
    }
    m_totals = RunTotals();
    m_hasRun = false;
    m_frozenMs = 0;
    emit changed();
}

void RunFigures::begin()
{
    m_totals = RunTotals();
    m_clock.start();
    m_hasRun = true;
    m_running = true;
    emit changed();
}

void RunFigures::onMeterLeft()
{
    m_frozenMs = m_clock.elapsed();
    m_running = false;
    emit changed();
}

void RunFigures::onMeasured(const Measurement &measurement)
{
    m_totals.add(measurement);
    emit changed();
}
