// SPDX-License-Identifier: GPL-3.0-or-later
#include "mqttpublisher.h"

#include <QThread>

#include <mosquitto.h>

#include <cerrno>
#include <cstring>

#ifdef Q_OS_WIN
#include <ws2tcpip.h>
#else
#include <netdb.h>
#endif

namespace {

// Long enough not to chatter on an idle link, short enough that the broker
// tells the others of a vanished recorder within half a minute.
const int KeepAliveSeconds = 15;
// The delay between attempts grows from a second up to this.
const unsigned MaxReconnectDelaySeconds = 30;
// A long outage's held measurements go out in one burst on reconnection;
// this many on the wire at once keeps the burst flowing without flooding the broker.
const int InFlightMessages = 100;
// MQTT message ids are 16 bits and the library hands them out in turn, so
// with no more than this many awaiting acknowledgement no two share an id and
// each acknowledgement counts once; the rest wait here, in order. The library
// would queue them all itself at QoS 1, but past 65,535 held its ids repeat and
// an acknowledgement, which carries only the id, could no longer be counted once;
// it tells nothing of how many it holds, which the buffer's bound and the count
// of the dropped need; and at QoS 0 it holds nothing while the broker is away.
const int HandedOverMessages = 1000;

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
    , m_finishTimer(this)
    , m_connectTimer(this)
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

void MqttPublisher::start()
{
    initialiseLibrary();
    if (!setUp())
        return;
    connectToBroker();
}

// The library's thread reconnects by itself only once a first connection
// attempt got under way; one that fails at once (a name that does not
// resolve, nobody listening on the port) is tried again here, with the same
// growing delay, and each failure is told with the reason.
void MqttPublisher::connectToBroker()
{
    m_libraryError.clear();
    const int result = mosquitto_connect_async(
        m_client, qPrintable(m_settings.host), m_settings.port, KeepAliveSeconds);
    const int error = errno;
    if (result != MOSQ_ERR_SUCCESS) {
        emit connectionChanged(false,
            m_libraryError.isEmpty() ? describe(result, error, m_settings.host) : m_libraryError);
        retryLater();
        return;
    }
    const int looping = mosquitto_loop_start(m_client);
    if (looping != MOSQ_ERR_SUCCESS) {
        emit connectionChanged(false, QString::fromUtf8(mosquitto_strerror(looping)));
        return;
    }
    m_looping = true;
}

void MqttPublisher::retryLater()
{
    ++m_connectAttempts;
    m_connectTimer.start(
        int(qMin<unsigned>(m_connectAttempts * m_connectAttempts, MaxReconnectDelaySeconds))
        * 1000);
}

QString MqttPublisher::describe(int result, int error, const QString &host)
{
    switch (result) {
    case MOSQ_ERR_EAI:
        return QStringLiteral("cannot find %1: %2")
            .arg(host, QString::fromLocal8Bit(gai_strerror(error)));
    case MOSQ_ERR_ERRNO:
        return QString::fromLocal8Bit(std::strerror(error));
    default:
        return QString::fromUtf8(mosquitto_strerror(result));
    }
}

bool MqttPublisher::setUp()
{
    m_client = mosquitto_new(nullptr, true, this);
    if (!m_client) {
        emit cannotStart(QStringLiteral("cannot create an MQTT client"));
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
    mosquitto_log_callback_set(m_client, &MqttPublisher::logCallback);
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
        emit cannotStart(QString::fromUtf8(mosquitto_strerror(result)));
        return false;
    }
    return true;
}

void MqttPublisher::publishMeasurement(const QByteArray &json)
{
    if (m_finishing || !m_client)
        return;
    takeAcknowledgements();
    if (held() >= m_settings.bufferLimit) {
        ++m_dropped;
        return;
    }
    m_held.enqueue(Message {m_measurementTopic, json});
    sendHeld();
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
    while (m_connected && !m_held.isEmpty() && m_unacknowledged.size() < HandedOverMessages
        && send(m_held.head()))
        m_held.dequeue();
    m_wakeOnAcknowledgement = m_finishing || !m_held.isEmpty();
}

void MqttPublisher::finish(int timeoutMs)
{
    if (m_finishing)
        return;
    m_finishing = true;
    sendStatus();
    m_wakeOnAcknowledgement = true;
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
    m_wakeOnAcknowledgement = false;
    if (m_looping) {
        mosquitto_disconnect(m_client);
        mosquitto_loop_stop(m_client, !m_connected);
        m_looping = false;
    }
    m_connected = false;
    takeAcknowledgements();
    emit finished(m_published, m_dropped, held());
}

void MqttPublisher::connectCallback(mosquitto *, void *self, int result)
{
    auto *publisher = static_cast<MqttPublisher *>(self);
    QMetaObject::invokeMethod(
        publisher, [publisher, result] { publisher->onConnected(result); }, Qt::QueuedConnection);
}

void MqttPublisher::disconnectCallback(mosquitto *, void *self, int result)
{
    const int error = errno;
    auto *publisher = static_cast<MqttPublisher *>(self);
    QMetaObject::invokeMethod(
        publisher, [publisher, result, error] { publisher->onDisconnected(result, error); },
        Qt::QueuedConnection);
}

void MqttPublisher::publishCallback(mosquitto *, void *self, int messageId)
{
    auto *publisher = static_cast<MqttPublisher *>(self);
    {
        const std::lock_guard<std::mutex> lock(publisher->m_acknowledgedMutex);
        publisher->m_acknowledged.push_back(messageId);
    }
    if (publisher->m_wakeOnAcknowledgement)
        QMetaObject::invokeMethod(
            publisher, [publisher] { publisher->takeAcknowledgements(); }, Qt::QueuedConnection);
}

// A TLS or certificate failure is only logged, not called back: it is how the
// user learns why an mqtts:// broker never answers.
void MqttPublisher::logCallback(mosquitto *, void *self, int level, const char *text)
{
    if (level != MOSQ_LOG_ERR)
        return;
    auto *publisher = static_cast<MqttPublisher *>(self);
    const QString line = QString::fromUtf8(text);
    if (QThread::currentThread() == publisher->thread())
        publisher->m_libraryError = line;
    else
        QMetaObject::invokeMethod(
            publisher, [publisher, line] { publisher->onLibraryError(line); },
            Qt::QueuedConnection);
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
    m_connectAttempts = 0;
    emit connectionChanged(true, QString());
    sendStatus();
    sendHeld();
}

void MqttPublisher::onDisconnected(int result, int error)
{
    if (m_finished)
        return;
    if (!m_connected) {
        // A refusal was told with the broker's reason as it came.
        if (result != MOSQ_ERR_SUCCESS && result != MOSQ_ERR_CONN_REFUSED)
            emit connectionChanged(false, describe(result, error, m_settings.host));
        return;
    }
    m_connected = false;
    takeAcknowledgements();
    // At QoS 0 the library forgets what it had not written yet.
    if (m_settings.qos == 0)
        m_unacknowledged.clear();
    m_unacknowledgedStatus.clear();
    emit connectionChanged(false, describe(result, error, m_settings.host));
    if (m_finishing)
        disconnectNow();
}

// After a TLS failure the library's thread gives up for good; the next
// attempt is made from here, as for a connection that failed at once.
void MqttPublisher::onLibraryError(const QString &text)
{
    if (m_finished || m_connected || !m_looping)
        return;
    emit connectionChanged(false, text);
    // Joined, not cancelled: a thread cancelled inside the library may hold its locks for ever.
    mosquitto_disconnect(m_client);
    mosquitto_loop_stop(m_client, false);
    m_looping = false;
    retryLater();
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
    sendHeld();
    if (m_finishing && !m_finished && held() == 0 && m_unacknowledgedStatus.isEmpty())
        disconnectNow();
}
