// SPDX-License-Identifier: GPL-3.0-or-later
#include "meterpublisher.h"

#include "mqttpublisher.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QSerialPortInfo>
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

MeterPublisher::~MeterPublisher() = default;

QString MeterPublisher::meterName(const QString &portName)
{
    QString name = QSerialPortInfo(portName).serialNumber().trimmed();
    if (name.isEmpty())
        name = portName.startsWith(QLatin1String("/dev/")) ? portName.mid(5) : portName;
    // "pts/5" is one meter, not two topic levels.
    static const QRegularExpression unsafe(QStringLiteral("[/+#\\s[:cntrl:]]"));
    name.replace(unsafe, QStringLiteral("_"));
    return name;
}

void MeterPublisher::meterOnline(const QString &portName)
{
    if (m_finishing)
        return;
    const QString meter = meterName(portName);
    if (m_publisher && m_publisher->meter() != meter) {
        retire(m_publisher, HandOverMs);
        m_publisher = nullptr;
    }
    if (!m_publisher) {
        m_publisher = new MqttPublisher(m_settings, meter, this);
        connect(m_publisher, &MqttPublisher::connectionChanged, this,
            &MeterPublisher::onConnectionChanged);
        if (!m_publisher->start())
            emit said(QStringLiteral("cannot publish to %1: %2")
                          .arg(m_settings.url, m_publisher->errorString()));
        QTimer::singleShot(FirstConnectionMs, m_publisher, [this, publisher = m_publisher.data()] {
            if (publisher == m_publisher && !publisher->isConnected())
                onConnectionChanged(false, QStringLiteral("no answer yet"));
        });
        m_meterField = "{\"meter\":" + jsonString(meter) + ',';
    }
    m_publisher->setMeterOnline(true);
}

void MeterPublisher::meterOffline()
{
    if (m_publisher)
        m_publisher->setMeterOnline(false);
}

void MeterPublisher::publish(const QByteArray &row)
{
    if (m_publisher && row.startsWith('{'))
        m_publisher->publishMeasurement(m_meterField + row.mid(1));
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
    connect(publisher, &MqttPublisher::finished, this, [this, publisher] { onRetired(publisher); });
    publisher->finish(timeoutMs);
}

void MeterPublisher::onRetired(MqttPublisher *publisher)
{
    m_published += publisher->published();
    m_dropped += publisher->dropped();
    m_unsent += publisher->held();
    publisher->deleteLater();
    if (--m_retiring == 0 && m_finishing)
        emit finished();
}

void MeterPublisher::onConnectionChanged(bool connected, const QString &detail)
{
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
    qint64 published = m_published;
    qint64 dropped = m_dropped;
    qint64 unsent = m_unsent;
    if (m_publisher) {
        published += m_publisher->published();
        dropped += m_publisher->dropped();
        unsent += m_publisher->held();
    }
    return QStringLiteral("published to %1: %2 measurements; dropped beyond the buffer of %3: "
                          "%4; not sent at the end: %5")
        .arg(m_settings.url)
        .arg(published)
        .arg(m_settings.bufferLimit)
        .arg(dropped)
        .arg(unsent);
}
