// SPDX-License-Identifier: GPL-3.0-or-later
#include "windowpublisher.h"

#include "appsettings.h"
#include "commoncurrentusbdevice.h"
#include "measurementfeed.h"
#include "meterpublisher.h"
#include "recordwriter.h"

#include <QDebug>

namespace {

// A publisher switched off or moved to another broker gets this long to hand
// over what it still holds.
const int RetireMs = 2000;

} // namespace

WindowPublisher::WindowPublisher(
    MeasurementFeed *feed, CommonCurrentUSBDevice *device, AppSettings *settings, QObject *parent)
    : QObject(parent)
    , m_feed(feed)
    , m_device(device)
    , m_settings(settings)
{
    // The published charge and energy count from zero for each meter that arrives, and each
    // time publishing is turned on: a subscriber sees one run's figures, not the window's life.
    connect(feed, &MeasurementFeed::meterArrived, this, [this] {
        m_totals = RunTotals();
        if (m_publisher)
            m_publisher->meterOnline(m_device->portName());
    });
    connect(feed, &MeasurementFeed::meterLeft, this, [this] {
        if (m_publisher)
            m_publisher->meterOffline();
    });
    connect(feed, &MeasurementFeed::measured, this, &WindowPublisher::onMeasured);
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
    m_totals = RunTotals();
    m_publisher = new MeterPublisher(broker, this);
    connect(m_publisher, &MeterPublisher::said, this, [](const QString &line) {
        qDebug() << "WindowPublisher"
                 << "said" << line;
    });
    if (m_feed->isOnline())
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

void WindowPublisher::onMeasured(const Measurement &measurement)
{
    if (!m_publisher)
        return;
    m_totals.add(measurement);
    m_publisher->publish(RecordWriter::line(RecordWriter::Jsonl, measurement,
        m_totals.chargeMilliampereHours(), m_totals.energyMilliwattHours()));
}
