// SPDX-License-Identifier: GPL-3.0-or-later
#include "livesource.h"

#include "commoncurrentusbdevice.h"
#include "measurementfeed.h"
#include "windowmeters.h"

#include <QtMath>

// The device says measured() before parameterChanged() for each reply, both from its worker
// in that order: the feed has put a measurement into the history before the pages draw it.
LiveSource::LiveSource(WindowMeters *meters, QObject *parent)
    : MeasurementSource(parent)
    , m_meters(meters)
{
    connect(meters->picked(), &CommonCurrentUSBDevice::parameterChanged, this, &LiveSource::show);
    connect(meters, &WindowMeters::pickedChanged, this, &MeasurementSource::historyChanged);
}

const MeasurementHistory *LiveSource::history() const
{
    const MeasurementFeed *feed = m_meters->feed(m_meters->pickedMeter());
    return feed ? &feed->history() : &m_none;
}

// Each meter's curve keeps its own time axis, from its first measurement in this window, so
// that coming back to it from another meter or a replay shows the times it showed before.
double LiveSource::timeZero() const
{
    const MeasurementFeed *feed = m_meters->feed(m_meters->pickedMeter());
    return feed ? feed->firstSeconds() : qQNaN();
}
