// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef METERPUBLISHER_H
#define METERPUBLISHER_H

#include "brokersettings.h"

#include <QHash>
#include <QObject>

class MqttPublisher;
class QThread;

// What a recorder or the window publishes, fed with what its meter does: a
// meter coming online names the topics (the name the caller knows it by, its
// USB serial number or its port), its measurements follow as JSON rows, and going
// offline or ending shows in its status. Another meter on the way gets a
// connection of its own, as the broker keeps one last will per connection.
// Each connection runs on a thread of its own: a name lookup or a connect that
// takes seconds never holds up the caller, who records while this waits.
class MeterPublisher : public QObject
{
    Q_OBJECT
public:
    explicit MeterPublisher(const BrokerSettings &settings, QObject *parent = nullptr);
    ~MeterPublisher() override;

    // The meter's name as one topic level: the characters that would split or
    // widen a topic replaced.
    static QString topicLevel(const QString &meter);

    void meterOnline(const QString &meter);
    void meterOffline();
    // row: one measurement as a JSON object, such as a JSONL recording's line.
    void publish(const QByteArray &row);
    // Says goodbye to the broker, giving held measurements up to timeoutMs to
    // get there; finished() follows.
    void finish(int timeoutMs);

    // One line: what was published, dropped and left unsent; complete after finished().
    QString summary() const;

signals:
    // A line for the user: the broker reached, refused or lost, each reason once.
    void said(const QString &line);
    // detail: why there is no connection, in the broker's or the library's words.
    void connectionChanged(bool connected, const QString &detail);
    void finished();

private:
    MqttPublisher *launch(const QString &meter);
    void retire(MqttPublisher *publisher, int timeoutMs);
    void end(MqttPublisher *publisher);
    void onConnectionChanged(bool connected, const QString &detail);

    const BrokerSettings m_settings;
    MqttPublisher *m_publisher = nullptr;
    QHash<MqttPublisher *, QThread *> m_threads;
    QByteArray m_meterField;
    int m_retiring = 0;
    bool m_finishing = false;
    bool m_connected = false;
    bool m_everConnected = false;
    QString m_lastDetail;
    qint64 m_published = 0;
    qint64 m_dropped = 0;
    qint64 m_unsent = 0;
};

#endif // METERPUBLISHER_H
