// SPDX-License-Identifier: GPL-3.0-or-later
#include "windowpublisher.h"

#include "appsettings.h"
#include "commoncurrentusbdevice.h"
#include "meterpublisher.h"
#include "recordwriter.h"

#include <QDebug>

namespace {

// A publisher switched off or moved to another broker gets this long to hand
// over what it still holds.
const int RetireMs = 2000;

} // namespace

WindowPublisher::WindowPublisher(
    CommonCurrentUSBDevice *device, AppSettings *settings, QObject *parent)
    : QObject(parent)
    , m_device(device)
    , m_settings(settings)
{
    connect(device, &CommonCurrentUSBDevice::deviceOnline, this, &WindowPublisher::onDeviceOnline);
    connect(
        device, &CommonCurrentUSBDevice::deviceOffline, this, &WindowPublisher::onDeviceOffline);
    connect(device, &CommonCurrentUSBDevice::parameterChanged, this,
        &WindowPublisher::onParameterChanged);
    connect(settings, &AppSettings::changed, this, [this](const QString &key) {
        if (key.startsWith(QLatin1String("mqtt")))
            configure();
    });
    configure();
}

void WindowPublisher::configure()
{
    retire();
    if (!m_settings->mqttEnabled())
        return;
    BrokerSettings broker;
    broker.readEnvironment();
    QString problem = broker.parseUrl(m_settings->mqttUrl());
    if (problem.isEmpty() && !m_settings->mqttPasswordFile().isEmpty())
        problem = broker.readPasswordFile(m_settings->mqttPasswordFile());
    if (!problem.isEmpty()) {
        qDebug() << "WindowPublisher"
                 << "configure" << problem;
        return;
    }
    m_publisher = new MeterPublisher(broker, this);
    connect(m_publisher, &MeterPublisher::said, this,
        [](const QString &line) { qDebug() << "WindowPublisher" << line; });
    if (m_online)
        m_publisher->meterOnline(m_device->portName());
}

void WindowPublisher::retire()
{
    if (!m_publisher)
        return;
    connect(m_publisher, &MeterPublisher::finished, m_publisher, &QObject::deleteLater);
    m_publisher->finish(RetireMs);
    m_publisher = nullptr;
}

void WindowPublisher::onDeviceOnline()
{
    m_online = true;
    if (m_publisher)
        m_publisher->meterOnline(m_device->portName());
}

void WindowPublisher::onDeviceOffline()
{
    m_online = false;
    if (m_publisher)
        m_publisher->meterOffline();
}

void WindowPublisher::onParameterChanged(float voltage, float current, float power)
{
    // The zeros of a closed port or of the window's start are no measurement.
    if (!m_online || !m_publisher)
        return;
    if (!m_clock.isValid())
        m_clock.start();
    Measurement measurement;
    measurement.time = QDateTime::currentDateTime();
    measurement.elapsedSeconds = m_clock.nsecsElapsed() / 1e9;
    measurement.voltage = double(voltage);
    measurement.current = double(current);
    measurement.power = double(power);
    m_totals.add(measurement);
    m_publisher->publish(RecordWriter::line(RecordWriter::Jsonl, measurement,
        m_totals.chargeMilliampereHours(), m_totals.energyMilliwattHours()));
}
