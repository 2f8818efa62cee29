// SPDX-License-Identifier: GPL-3.0-or-later
#include "runfigures.h"

#include "measurementfeed.h"
#include "windowmeters.h"

RunFigures::RunFigures(WindowMeters *meters, QObject *parent)
    : QObject(parent)
    , m_meters(meters)
{
    connect(meters, &WindowMeters::pickedChanged, this, &RunFigures::follow);
}

qint64 RunFigures::elapsedSeconds() const
{
    return (m_running ? m_clock.elapsed() : m_frozenMs) / 1000;
}

void RunFigures::reset()
{
    if (m_feed && m_feed->isOnline()) {
        begin();
        return;
    }
    m_totals.restart();
    m_hasRun = false;
    m_frozenMs = 0;
    emit changed();
}

// Another meter picked is another run: its figures start anew, as at a plug.
void RunFigures::follow(const QString &meter)
{
    for (const QMetaObject::Connection &connection : std::as_const(m_followed))
        disconnect(connection);
    if (m_running)
        onMeterLeft();
    m_feed = m_meters->feed(meter);
    m_followed = {
        connect(m_feed, &MeasurementFeed::meterArrived, this, &RunFigures::begin),
        connect(m_feed, &MeasurementFeed::meterLeft, this, &RunFigures::onMeterLeft),
        connect(m_feed, &MeasurementFeed::measured, this, &RunFigures::onMeasured),
    };
    if (m_feed->isOnline())
        begin();
}

void RunFigures::begin()
{
    m_totals.restart();
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

void RunFigures::onMeasured()
{
    m_totals.take(m_feed->totals());
    emit changed();
}
