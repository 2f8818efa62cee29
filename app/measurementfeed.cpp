// SPDX-License-Identifier: GPL-3.0-or-later
#include "measurementfeed.h"

#include "commoncurrentusbdevice.h"

MeasurementFeed::MeasurementFeed(CommonCurrentUSBDevice *device, QObject *parent)
    : QObject(parent)
{
    connect(device, &CommonCurrentUSBDevice::deviceOnline, this, &MeasurementFeed::onDeviceOnline);
    connect(
        device, &CommonCurrentUSBDevice::deviceOffline, this, &MeasurementFeed::onDeviceOffline);
    connect(device, &CommonCurrentUSBDevice::parameterChanged, this,
        &MeasurementFeed::onParameterChanged);
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
    m_history.append(MeasurementHistory::Sample::gap(m_history.elapsed()));
    emit meterLeft();
}

void MeasurementFeed::onParameterChanged(float voltage, float current, float power)
{
    if (!isOnline())
        return;
    Measurement measurement;
    measurement.time = QDateTime::currentDateTime();
    measurement.elapsedSeconds = m_history.elapsed();
    measurement.voltage = double(voltage);
    measurement.current = double(current);
    measurement.power = double(power);
    m_history.append({measurement.elapsedSeconds, voltage, current, power});
    emit measured(measurement);
}
