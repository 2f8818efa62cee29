// SPDX-License-Identifier: GPL-3.0-or-later
#include "meterpublisher.h"

#include "mqttpublisher.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QThread>
#include <QTimer>

namespace {

// A meter swapped for another gets this long to hand over what it held.
const int HandOverMs = 2000;
// An unreachable broker makes no noise of its own; after this long the user hears of it.
const int FirstConnectionMs = 5000;

QString now()
{
    return QDateTime::currentDateTime().toString(Qt::ISODate);
}

QByteArray jsonString(const QString &text)
{
    const QByteArray array = QJsonDocument(QJsonArray {text}).toJson(QJsonDocument::Compact);
    return array.mid(1, array.size() - 2);
}

} // namespace

MeterPublisher::MeterPublisher(const BrokerSettings &settings, QObject *parent)
    : QObject(parent)
    , m_settings(settings)
{ }

// Each thread ends with its publisher; one still looking up a name or
// connecting is waited for, as the library cannot be interrupted there.
MeterPublisher::~MeterPublisher()
{
    for (MqttPublisher *publisher : m_threads.keys())
        end(publisher);
    for (QThread *thread : findChildren<QThread *>(QString(), Qt::FindDirectChildrenOnly))
        thread->wait();
}

QString MeterPublisher::topicLevel(const QString &meter)
{
    QString name = meter;
    // "pts/5" is one meter, not two topic levels.
    static const QRegularExpression unsafe(QStringLiteral("[/+#\\s[:cntrl:]]"));
    name.replace(unsafe, QStringLiteral("_"));
    return name;
}

void MeterPublisher::meterOnline(const QString &name)
{
    if (m_finishing)
        return;
    const QString meter = topicLevel(name);
    if (m_publisher && m_publisher->meter() != meter) {
        retire(m_publisher, HandOverMs);
        m_publisher = nullptr;
    }
    if (!m_publisher) {
        m_publisher = launch(meter);
        m_connected = false;
        m_lastDetail.clear();
        QTimer::singleShot(FirstConnectionMs, this, [this, publisher = m_publisher] {
            if (publisher == m_publisher && !m_connected && m_lastDetail.isEmpty())
                onConnectionChanged(false, QStringLiteral("no answer yet"));
        });
        m_meterField = "{\"meter\":" + jsonString(meter) + ',';
        return;
    }
    QMetaObject::invokeMethod(
        m_publisher, [publisher = m_publisher] { publisher->setMeterOnline(true); });
}

void MeterPublisher::meterOffline()
{
    if (m_publisher)
        QMetaObject::invokeMethod(
            m_publisher, [publisher = m_publisher] { publisher->setMeterOnline(false); });
}

void MeterPublisher::publish(const QByteArray &row)
{
    if (!m_publisher || !row.startsWith('{'))
        return;
    QMetaObject::invokeMethod(
        m_publisher, [publisher = m_publisher, json = QByteArray(m_meterField + row.mid(1))] {
            publisher->publishMeasurement(json);
        });
}

MqttPublisher *MeterPublisher::launch(const QString &meter)
{
    auto *publisher = new MqttPublisher(m_settings, meter);
    auto *thread = new QThread(this);
    publisher->moveToThread(thread);
    m_threads.insert(publisher, thread);
    connect(publisher, &QObject::destroyed, thread, &QThread::quit, Qt::DirectConnection);
    connect(
        publisher, &MqttPublisher::connectionChanged, this, &MeterPublisher::onConnectionChanged);
    connect(publisher, &MqttPublisher::cannotStart, this, [this](const QString &why) {
        emit said(QStringLiteral("cannot publish to %1: %2").arg(m_settings.url, why));
    });
    thread->start();
    // Online before connecting: the first status the broker gets is the true one.
    QMetaObject::invokeMethod(publisher, [publisher] {
        publisher->setMeterOnline(true);
        publisher->start();
    });
    return publisher;
}

void MeterPublisher::end(MqttPublisher *publisher)
{
    QThread *thread = m_threads.take(publisher);
    connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    publisher->deleteLater();
}

void MeterPublisher::finish(int timeoutMs)
{
    m_finishing = true;
    if (m_publisher) {
        retire(m_publisher, timeoutMs);
        m_publisher = nullptr;
    }
    if (m_retiring == 0)
        emit finished();
}

void MeterPublisher::retire(MqttPublisher *publisher, int timeoutMs)
{
    ++m_retiring;
    publisher->disconnect(this);
    connect(publisher, &MqttPublisher::finished, this,
        [this, publisher](qint64 published, qint64 dropped, int unsent) {
            m_published += published;
            m_dropped += dropped;
            m_unsent += unsent;
            end(publisher);
            if (--m_retiring == 0 && m_finishing)
                emit finished();
        });
    QMetaObject::invokeMethod(publisher, [publisher, timeoutMs] { publisher->finish(timeoutMs); });
}

void MeterPublisher::onConnectionChanged(bool connected, const QString &detail)
{
    // Queued from the publisher's thread: a retired one's news may still come in.
    if (sender() && sender() != m_publisher)
        return;
    m_connected = connected;
    emit connectionChanged(connected, detail);
    // Attempts go on for ever; the same reason again is no news.
    if (!connected && detail == m_lastDetail)
        return;
    m_lastDetail = connected ? QString() : detail;
    if (connected) {
        emit said(QStringLiteral("%1 %2 as %3 at %4")
                      .arg(m_everConnected ? QStringLiteral("publishing again to")
                                           : QStringLiteral("publishing to"),
                          m_settings.url, m_publisher->meter(), now()));
        m_everConnected = true;
    } else {
        emit said(QStringLiteral("no connection to %1 at %2 (%3); measurements are held back "
                                 "until there is one")
                      .arg(m_settings.url, now(), detail));
    }
}

QString MeterPublisher::summary() const
{
    return QStringLiteral("published to %1: %2 measurements; dropped beyond the buffer of %3: "
                          "%4; not sent at the end: %5")
        .arg(m_settings.url)
        .arg(m_published)
        .arg(m_settings.bufferLimit)
        .arg(m_dropped)
        .arg(m_unsent);
}
