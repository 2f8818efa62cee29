// SPDX-License-Identifier: GPL-3.0-or-later
#include "measurementfeed.h"

#include "commoncurrentusbdevice.h"

MeasurementFeed::MeasurementFeed(CommonCurrentUSBDevice *device, QObject *parent)
    : QObject(parent)
{
    using Device = CommonCurrentUSBDevice;
    connect(device, &Device::deviceOnline, this, &MeasurementFeed::onDeviceOnline);
    connect(device, &Device::deviceOffline, this, &MeasurementFeed::onDeviceOffline);
    connect(device, &Device::deviceNotResponding, this, &MeasurementFeed::onDeviceNotResponding);
    connect(device, &Device::measured, this, &MeasurementFeed::onMeasured);
}

void MeasurementFeed::onDeviceOnline()
{
    if (m_online)
        return;
    m_online = true;
    emit meterArrived();
}

void MeasurementFeed::onDeviceOffline()
{
    if (!m_online)
        return;
    m_online = false;
    appendGap();
    emit meterLeft();
}

// The live curve breaks where the meter fell silent, as a replay does at a gap, rather than
// drawing a straight line through a time nothing is known about.
void MeasurementFeed::onDeviceNotResponding()
{
    if (m_online)
        appendGap();
}

// Right after the last measurement heard: the GUI thread may come to this late, after later
// measurements were taken, and the history must stay in time order.
void MeasurementFeed::appendGap()
{
    const double last = m_history.size() > 0 ? m_history.lastSeconds() : m_history.elapsed();
    m_history.append(MeasurementHistory::Sample::gap(last));
}

void MeasurementFeed::onMeasured(Measurement measurement)
{
    if (!isOnline())
        return;
    measurement.elapsedSeconds = m_history.secondsAt(measurement.monotonicNs);
    m_history.append({measurement.elapsedSeconds, float(measurement.voltage),
        float(measurement.current), float(measurement.power)});
    m_totals.add(measurement);
    if (qIsNaN(m_firstSeconds))
        m_firstSeconds = measurement.elapsedSeconds;
    emit measured(measurement);
}
