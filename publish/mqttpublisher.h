// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef MQTTPUBLISHER_H
#define MQTTPUBLISHER_H

#include "brokersettings.h"

#include <QByteArray>
#include <QObject>
#include <QQueue>
#include <QSet>
#include <QTimer>

#include <atomic>
#include <mutex>
#include <vector>

struct mosquitto;

// One meter's connection to the broker: its measurements to
// <prefix>/<meter>/measurement, and its retained <prefix>/<meter>/status,
// "online" or "offline", with "offline" left with the broker as the last will
// so that a recorder that dies is seen to go.
//
// Connecting looks the broker's name up and may take seconds, so this object
// lives on a thread of its own (MeterPublisher gives it one) and is driven by
// queued calls. libmosquitto runs the connection on a further thread,
// reconnecting with a growing delay; its callbacks only post to this object,
// which keeps every count. While the broker is away measurements are held
// back, at most bufferLimit of them counting those still awaiting the
// broker's acknowledgement, and sent in order on reconnection; beyond the
// limit new ones are dropped and counted, so that what reaches the broker
// stays a gapless run up to the outage.
class MqttPublisher : public QObject
{
    Q_OBJECT
public:
    MqttPublisher(const BrokerSettings &settings, const QString &meter, QObject *parent = nullptr);
    ~MqttPublisher() override;

    // Fixed at construction: safe to read from any thread.
    QString meter() const { return m_meter; }

    // Sets up the client and starts connecting; cannotStart() tells when the
    // client cannot be set up at all. An unreachable broker is no failure: it
    // is tried again and again, and each reason heard is told by connectionChanged().
    void start();
    void publishMeasurement(const QByteArray &json);
    void setMeterOnline(bool online);
    // Publishes "offline", gives what is held up to timeoutMs to reach the
    // broker and disconnects; finished() follows, also when nothing was connected.
    void finish(int timeoutMs);

signals:
    // detail: why there is no connection, in the words of the broker or the library.
    void connectionChanged(bool connected, const QString &detail);
    void cannotStart(const QString &why);
    void finished(qint64 published, qint64 dropped, int unsent);

private:
    struct Message
    {
        QByteArray topic;
        QByteArray payload;
    };

    static void connectCallback(mosquitto *client, void *self, int result);
    static void disconnectCallback(mosquitto *client, void *self, int result);
    static void publishCallback(mosquitto *client, void *self, int messageId);
    static void logCallback(mosquitto *client, void *self, int level, const char *text);
    static QString describe(int result, int error, const QString &host);
    void onConnected(int result);
    void onDisconnected(int result, int error);
    void onLibraryError(const QString &text);
    // The acknowledgements the library's thread has collected since the last call.
    void takeAcknowledgements();
    bool setUp();
    void connectToBroker();
    void retryLater();
    bool send(const Message &message);
    void sendStatus();
    void sendHeld();
    void disconnectNow();
    int held() const { return m_held.size() + m_unacknowledged.size(); }

    const BrokerSettings m_settings;
    const QString m_meter;
    const QByteArray m_measurementTopic;
    const QByteArray m_statusTopic;
    mosquitto *m_client = nullptr;
    bool m_looping = false;
    bool m_connected = false;
    bool m_meterOnline = false;
    bool m_finishing = false;
    bool m_finished = false;
    QQueue<Message> m_held;
    QSet<int> m_unacknowledged;
    QSet<int> m_unacknowledgedStatus;
    // Filled on the library's thread, emptied on this object's: an
    // acknowledgement wakes this thread only when a backlog or finish() waits for it.
    std::mutex m_acknowledgedMutex;
    std::vector<int> m_acknowledged;
    std::atomic<bool> m_wakeOnAcknowledgement {false};
    qint64 m_published = 0;
    qint64 m_dropped = 0;
    QTimer m_finishTimer;
    QTimer m_connectTimer;
    int m_connectAttempts = 0;
    // What the library logged as an error while connecting on this thread.
    QString m_libraryError;
};

#endif // MQTTPUBLISHER_H
