// SPDX-License-Identifier: GPL-3.0-or-later
#include "windowpublisher.h"

#include "appsettings.h"
#include "commoncurrentusbdevice.h"
#include "measurementfeed.h"
#include "meterpublisher.h"
#include "meterset.h"
#include "recordwriter.h"

#include <QDebug>
#include <QFile>

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
    connect(feed, &MeasurementFeed::meterArrived, this, &WindowPublisher::onMeterArrived);
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

WindowPublisher::Problem WindowPublisher::readBroker(
    const AppSettings *settings, BrokerSettings *broker)
{
    broker->readEnvironment();
    if (!broker->parseUrl(settings->mqttUrl()).isEmpty())
        return Problem::Url;
    if (!settings->mqttPasswordFile().isEmpty()
        && !broker->readPasswordFile(settings->mqttPasswordFile()).isEmpty())
        return Problem::PasswordFile;
    // Only an mqtts:// broker has a certificate to check; a CA file kept for
    // when the address says so again does no harm meanwhile.
    if (broker->tls)
        broker->caFile = settings->mqttCaFile();
    if (!broker->caFile.isEmpty() && !QFile(broker->caFile).open(QIODevice::ReadOnly))
        return Problem::CaFile;
    return Problem::None;
}

// A field left by Tab stores what it holds, changed or not: only a broker
// that is not the one in use is connected to anew, so that subscribers see
// no false "offline".
void WindowPublisher::configure()
{
    BrokerSettings broker;
    const Problem problem
        = m_settings->mqttEnabled() ? readBroker(m_settings, &broker) : Problem::Url;
    if (m_publisher && problem == Problem::None && broker == m_broker)
        return;
    retire();
    if (!m_settings->mqttEnabled())
        return setState(State::Off);
    m_broker = broker;
    if (problem != Problem::None)
        return setState(State::Misconfigured);
    m_publisher = new MeterPublisher(broker, this);
    connect(m_publisher, &MeterPublisher::said, this, [](const QString &line) {
        qDebug() << "WindowPublisher"
                 << "said" << line;
    });
    connect(m_publisher, &MeterPublisher::connectionChanged, this,
        [this](bool connected, const QString &detail) {
            setState(connected ? State::Connected : State::Failed, detail);
        });
    setState(State::Connecting);
    // Each time publishing is turned on the published totals start from zero, as for another meter.
    m_meter.clear();
    if (m_feed->isOnline())
        onMeterArrived();
}

void WindowPublisher::retire()
{
    if (!m_publisher)
        return;
    connect(m_publisher, &MeterPublisher::finished, m_publisher, &QObject::deleteLater);
    m_publisher->disconnect(this);
    m_publisher->finish(RetireMs);
    m_publisher = nullptr;
}

void WindowPublisher::onMeterArrived()
{
    if (!m_publisher)
        return;
    // Another meter's figures start from zero, as its own topics do.
    const QString meter = MeterSet::meterOf(m_device->portName());
    if (meter != m_meter)
        m_totals.restart();
    m_meter = meter;
    m_publisher->meterOnline(meter);
}

void WindowPublisher::onMeasured(const Measurement &measurement)
{
    if (!m_publisher)
        return;
    m_totals.take(m_feed->totals());
    m_publisher->publish(RecordWriter::line(RecordWriter::Jsonl, measurement,
        m_totals.chargeMilliampereHours(), m_totals.energyMilliwattHours()));
}

void WindowPublisher::setState(State state, const QString &detail)
{
    m_state = state;
    m_detail = detail;
    emit statusChanged();
}

QString WindowPublisher::statusText() const
{
    switch (m_state) {
    case State::Off:
        break;
    case State::Misconfigured:
        return tr("MQTT：设置有误，未发布");
    case State::Connecting:
        return tr("MQTT：正在连接 %1").arg(m_broker.url);
    case State::Connected:
        return tr("MQTT：正在发布到 %1").arg(m_broker.url);
    case State::Failed:
        return tr("MQTT：未连接 %1（%2）").arg(m_broker.url, m_detail);
    }
    return QString();
}
