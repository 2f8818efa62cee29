// SPDX-License-Identifier: GPL-3.0-or-later
#include "mqttpublisher.h"

#include <mosquitto.h>

namespace {

// Long enough not to chatter on an idle link, short enough that the broker
// tells the others of a vanished recorder within half a minute.
const int KeepAliveSeconds = 15;
// The delay between attempts grows from a second up to this.
const unsigned MaxReconnectDelaySeconds = 30;
// A long outage's held measurements go out in one burst on reconnection;
// this many on the wire at once keeps the burst flowing without flooding the broker.
const int InFlightMessages = 100;

const QByteArray Online = QByteArrayLiteral("online");
const QByteArray Offline = QByteArrayLiteral("offline");

void initialiseLibrary()
{
    static std::once_flag once;
    std::call_once(once, [] { mosquitto_lib_init(); });
}

QString connackText(int result)
{
    return QString::fromUtf8(mosquitto_connack_string(result));
}

} // namespace

MqttPublisher::MqttPublisher(const BrokerSettings &settings, const QString &meter, QObject *parent)
    : QObject(parent)
    , m_settings(settings)
    , m_meter(meter)
    , m_measurementTopic((settings.prefix + QLatin1Char('/') + meter + "/measurement").toUtf8())
    , m_statusTopic((settings.prefix + QLatin1Char('/') + meter + "/status").toUtf8())
{
    m_finishTimer.setSingleShot(true);
    connect(&m_finishTimer, &QTimer::timeout, this, &MqttPublisher::disconnectNow);
    m_connectTimer.setSingleShot(true);
    connect(&m_connectTimer, &QTimer::timeout, this, &MqttPublisher::connectToBroker);
}

MqttPublisher::~MqttPublisher()
{
    if (!m_client)
        return;
    if (m_looping) {
        // A publisher that goes without finish() still says its meter is gone;
        // a clean disconnection leaves no last will to say it.
        if (m_connected && !m_finishing) {
            m_finishing = true;
            sendStatus();
        }
        mosquitto_disconnect(m_client);
        // Between attempts the library's thread sleeps out its delay; only a cancel ends that.
        mosquitto_loop_stop(m_client, !m_connected);
    }
    mosquitto_destroy(m_client);
}

bool MqttPublisher::start()
{
    initialiseLibrary();
    if (!setUp())
        return false;
    connectToBroker();
    return true;
}

// The library's thread reconnects by itself only once a first connection
// attempt got under way; one refused at once (nobody listening on the port)
// is tried again here, with the same growing delay.
void MqttPublisher::connectToBroker()
{
    if (mosquitto_connect_async(
            m_client, qPrintable(m_settings.host), m_settings.port, KeepAliveSeconds)
        != MOSQ_ERR_SUCCESS) {
        ++m_connectAttempts;
        m_connectTimer.start(
            int(qMin<unsigned>(m_connectAttempts * m_connectAttempts, MaxReconnectDelaySeconds))
            * 1000);
        return;
    }
    const int result = mosquitto_loop_start(m_client);
    if (result != MOSQ_ERR_SUCCESS) {
        emit connectionChanged(false, QString::fromUtf8(mosquitto_strerror(result)));
        return;
    }
    m_looping = true;
}

bool MqttPublisher::setUp()
{
    m_client = mosquitto_new(nullptr, true, this);
    if (!m_client) {
        m_errorString = QStringLiteral("cannot create an MQTT client");
        return false;
    }
    mosquitto_int_option(m_client, MOSQ_OPT_PROTOCOL_VERSION, MQTT_PROTOCOL_V311);
    mosquitto_int_option(m_client, MOSQ_OPT_SEND_MAXIMUM, InFlightMessages);
    // One small message every 100 ms: waiting to fill a packet only delays it.
    mosquitto_int_option(m_client, MOSQ_OPT_TCP_NODELAY, 1);
    mosquitto_reconnect_delay_set(m_client, 1, MaxReconnectDelaySeconds, true);
    mosquitto_connect_callback_set(m_client, &MqttPublisher::connectCallback);
    mosquitto_disconnect_callback_set(m_client, &MqttPublisher::disconnectCallback);
    mosquitto_publish_callback_set(m_client, &MqttPublisher::publishCallback);
    int result = mosquitto_will_set(
        m_client, m_statusTopic.constData(), Offline.size(), Offline.constData(), 1, true);
    if (result == MOSQ_ERR_SUCCESS && !m_settings.user.isEmpty())
        result = mosquitto_username_pw_set(m_client, m_settings.user.toUtf8().constData(),
            m_settings.password.isEmpty() ? nullptr : m_settings.password.toUtf8().constData());
    if (result == MOSQ_ERR_SUCCESS && m_settings.tls) {
        if (m_settings.caFile.isEmpty())
            result = mosquitto_int_option(m_client, MOSQ_OPT_TLS_USE_OS_CERTS, 1);
        else
            result = mosquitto_tls_set(
                m_client, qPrintable(m_settings.caFile), nullptr, nullptr, nullptr, nullptr);
    }
    if (result != MOSQ_ERR_SUCCESS) {
        m_errorString = QString::fromUtf8(mosquitto_strerror(result));
        return false;
    }
    return true;
}

void MqttPublisher::publishMeasurement(const QByteArray &json)
{
    if (m_finishing)
        return;
    takeAcknowledgements();
    if (held() >= m_settings.bufferLimit) {
        ++m_dropped;
        return;
    }
    const Message message {m_measurementTopic, json};
    if (!m_connected || !m_held.isEmpty() || !send(message))
        m_held.enqueue(message);
}

void MqttPublisher::setMeterOnline(bool online)
{
    m_meterOnline = online;
    sendStatus();
}

void MqttPublisher::sendStatus()
{
    if (!m_connected)
        return;
    int messageId = 0;
    const QByteArray &status = m_meterOnline && !m_finishing ? Online : Offline;
    if (mosquitto_publish(m_client, &messageId, m_statusTopic.constData(), status.size(),
            status.constData(), 1, true)
        == MOSQ_ERR_SUCCESS)
        m_unacknowledgedStatus.insert(messageId);
}

// False when the message did not reach the library and is still the caller's.
bool MqttPublisher::send(const Message &message)
{
    int messageId = 0;
    const int result = mosquitto_publish(m_client, &messageId, message.topic.constData(),
        message.payload.size(), message.payload.constData(), m_settings.qos, false);
    // At QoS 1 the library keeps a message it could not write yet and sends
    // it again after reconnecting; at QoS 0 it is gone.
    const bool queued
        = result == MOSQ_ERR_SUCCESS || (m_settings.qos == 1 && result == MOSQ_ERR_NO_CONN);
    if (queued)
        m_unacknowledged.insert(messageId);
    return queued;
}

void MqttPublisher::sendHeld()
{
    while (m_connected && !m_held.isEmpty() && send(m_held.head()))
        m_held.dequeue();
}

void MqttPublisher::finish(int timeoutMs)
{
    if (m_finishing)
        return;
    m_finishing = true;
    sendStatus();
    m_awaitingAcknowledgements = true;
    takeAcknowledgements();
    if (m_finished)
        return;
    if (m_connected)
        m_finishTimer.start(timeoutMs);
    else
        disconnectNow();
}

void MqttPublisher::disconnectNow()
{
    m_finishTimer.stop();
    m_connectTimer.stop();
    if (m_finished)
        return;
    m_finished = true;
    m_awaitingAcknowledgements = false;
    if (m_looping) {
        mosquitto_disconnect(m_client);
        mosquitto_loop_stop(m_client, !m_connected);
        m_looping = false;
    }
    m_connected = false;
    takeAcknowledgements();
    emit finished();
}

void MqttPublisher::connectCallback(mosquitto *, void *self, int result)
{
    auto *publisher = static_cast<MqttPublisher *>(self);
    QMetaObject::invokeMethod(
        publisher, [publisher, result] { publisher->onConnected(result); }, Qt::QueuedConnection);
}

void MqttPublisher::disconnectCallback(mosquitto *, void *self, int result)
{
    auto *publisher = static_cast<MqttPublisher *>(self);
    QMetaObject::invokeMethod(
        publisher, [publisher, result] { publisher->onDisconnected(result); },
        Qt::QueuedConnection);
}

void MqttPublisher::publishCallback(mosquitto *, void *self, int messageId)
{
    auto *publisher = static_cast<MqttPublisher *>(self);
    {
        const std::lock_guard<std::mutex> lock(publisher->m_acknowledgedMutex);
        publisher->m_acknowledged.push_back(messageId);
    }
    if (publisher->m_awaitingAcknowledgements)
        QMetaObject::invokeMethod(
            publisher, [publisher] { publisher->takeAcknowledgements(); }, Qt::QueuedConnection);
}

void MqttPublisher::onConnected(int result)
{
    if (m_finished)
        return;
    if (result != MOSQ_ERR_SUCCESS) {
        emit connectionChanged(false, connackText(result));
        return;
    }
    m_connected = true;
    emit connectionChanged(true, QString());
    sendStatus();
    sendHeld();
}

void MqttPublisher::onDisconnected(int result)
{
    if (m_finished || !m_connected)
        return;
    m_connected = false;
    takeAcknowledgements();
    // At QoS 0 the library forgets what it had not written yet.
    if (m_settings.qos == 0)
        m_unacknowledged.clear();
    m_unacknowledgedStatus.clear();
    emit connectionChanged(false, QString::fromUtf8(mosquitto_strerror(result)));
    if (m_finishing)
        disconnectNow();
}

void MqttPublisher::takeAcknowledgements()
{
    std::vector<int> acknowledged;
    {
        const std::lock_guard<std::mutex> lock(m_acknowledgedMutex);
        acknowledged.swap(m_acknowledged);
    }
    for (const int messageId : acknowledged) {
        if (m_unacknowledged.remove(messageId))
            ++m_published;
        else
            m_unacknowledgedStatus.remove(messageId);
    }
    if (m_awaitingAcknowledgements && held() == 0 && m_unacknowledgedStatus.isEmpty())
        disconnectNow();
}
