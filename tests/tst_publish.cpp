// SPDX-License-Identifier: GPL-3.0-or-later
#include "appsettings.h"
#include "commoncurrentusbdevice.h"
#include "measurementfeed.h"
#include "metersimulator.h"
#include "mosquittobroker.h"
#include "windowpublisher.h"

#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <signal.h>

namespace {

QStringList fileLines(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return QStringList();
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

} // namespace

// ammeter-log publishing to a real Mosquitto: what a subscriber receives is
// the recording itself, through outages of the broker and the recorder's death.
class TestPublish : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void refusesBadBrokerOptions_data();
    void refusesBadBrokerOptions();
    void publishesEveryMeasurementOnceInOrder_data();
    void publishesEveryMeasurementOnceInOrder();
    void holdsBackThroughOutages();
    void leavesOfflineAsLastWill();
    void countsWhatTheBufferCannotHold();
    void windowPublishesAsItsSettingsSay();

private:
    void startLogger(const QStringList &arguments);
    QString loggerErrors();
    bool loggerEnds(int status);
    // The payload as the recording's line: the meter's name taken out.
    QString recordedPart(const QString &payload);

    MeterSimulator m_meter;
    QString m_meterField;
    QTemporaryDir m_dir;
    QString m_certificate;
    QString m_key;
    QProcess m_logger;
    QString m_loggerErrors;
};

void TestPublish::initTestCase()
{
    QVERIFY2(m_meter.startOnPty(), qPrintable(m_meter.errorString()));
    m_meterField
        = QStringLiteral("\"meter\":\"%1\",").arg(m_meter.portName().mid(5).replace('/', '_'));
    m_certificate = m_dir.filePath("broker.pem");
    m_key = m_dir.filePath("broker.key");
    QProcess openssl;
    openssl.setProcessChannelMode(QProcess::MergedChannels);
    openssl.start("openssl",
        {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "1", "-subj", "/CN=localhost",
            "-addext", "subjectAltName=DNS:localhost,IP:127.0.0.1", "-keyout", m_key, "-out",
            m_certificate});
    QVERIFY2(openssl.waitForFinished(30000) && openssl.exitCode() == 0, openssl.readAll());
}

void TestPublish::cleanup()
{
    m_logger.setProcessEnvironment(QProcessEnvironment::systemEnvironment());
    if (m_logger.state() == QProcess::NotRunning)
        return;
    qWarning("ammeter-log:\n%s", qPrintable(loggerErrors()));
    m_logger.kill();
    m_logger.waitForFinished();
}

void TestPublish::startLogger(const QStringList &arguments)
{
    m_loggerErrors.clear();
    m_logger.start(
        QStringLiteral(AMMETER_LOG), QStringList {"--port", m_meter.portName()} + arguments);
    QVERIFY(m_logger.waitForStarted());
}

QString TestPublish::loggerErrors()
{
    m_loggerErrors += QString::fromUtf8(m_logger.readAllStandardError());
    return m_loggerErrors;
}

bool TestPublish::loggerEnds(int status)
{
    const bool ended = m_logger.waitForFinished(30000)
        && m_logger.exitStatus() == QProcess::NormalExit && m_logger.exitCode() == status;
    if (!ended)
        qWarning("ammeter-log:\n%s", qPrintable(loggerErrors()));
    return ended;
}

QString TestPublish::recordedPart(const QString &payload)
{
    QString row = payload;
    return row.startsWith('{' + m_meterField) ? row.remove(1, m_meterField.size()) : payload;
}

void TestPublish::refusesBadBrokerOptions_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("message");
    const QString missing = m_dir.filePath("missing");
    const auto row = [](const char *name, const QStringList &arguments, const char *message) {
        QTest::newRow(name) << arguments << QString::fromUtf8(message);
    };
    row("other scheme", {"--mqtt", "http://host/lab"}, "mqtt://host[:port]/prefix");
    row("port zero", {"--mqtt", "mqtt://host:0/lab"}, "1 to 65535, not \"0\"");
    row("port too high", {"--mqtt", "mqtts://host:65536/lab"}, "not \"65536\"");
    row("credentials in URL", {"--mqtt", "mqtt://u:p@host/lab"}, "AMMETER_MQTT_USER");
    row("wildcard prefix", {"--mqtt", "mqtt://host/lab/#"}, "\"lab/#\"");
    row("QoS 2", {"--mqtt", "mqtt://host/lab", "--mqtt-qos", "2"}, "--mqtt-qos");
    row("CA without TLS", {"--mqtt", "mqtt://host/lab", "--mqtt-ca", missing}, "mqtts://");
    row("missing password file", {"--mqtt", "mqtt://host/lab", "--mqtt-password-file", missing},
        "missing");
    row("broker option alone", {"--mqtt-qos", "0"}, "needs --mqtt");
}

void TestPublish::refusesBadBrokerOptions()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, message);
    const QString output = m_dir.filePath("refused.csv");
    const int requests = m_meter.requestCount(MeterSimulator::CalibrationRequest);
    startLogger(arguments << "-o" << output);
    QVERIFY(loggerEnds(64));
    const QString errors = loggerErrors();
    QVERIFY2(errors.contains(message) && errors.count('\n') == 1, qPrintable(errors));
    // Refused before anything was opened.
    QVERIFY(!QFile::exists(output));
    QCOMPARE(m_meter.requestCount(MeterSimulator::CalibrationRequest), requests);
}

void TestPublish::publishesEveryMeasurementOnceInOrder_data()
{
    QTest::addColumn<bool>("tls");
    QTest::addColumn<QString>("qos");
    QTest::addColumn<QString>("user");
    QTest::newRow("at least once") << false << "1" << QString();
    QTest::newRow("at most once") << false << "0" << QString();
    QTest::newRow("TLS") << true << "1" << QString();
    QTest::newRow("user from the environment") << false << "1"
                                               << "bench3";
}

void TestPublish::publishesEveryMeasurementOnceInOrder()
{
    QFETCH(bool, tls);
    QFETCH(QString, qos);
    QFETCH(QString, user);
    MosquittoBroker broker(tls ? m_certificate : QString(), m_key, user, "pass word");
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("AMMETER_MQTT_USER", user);
    environment.insert("AMMETER_MQTT_PASSWORD", "pass word");
    m_logger.setProcessEnvironment(environment);
    QVERIFY(broker.start());
    MqttSubscriber subscriber(broker, "lab");
    QVERIFY(subscriber.listening());
    const QString recording = m_dir.filePath("once.jsonl");
    QStringList arguments {"-n", "40", "-f", "jsonl", "-o", recording, "--force", "--mqtt",
        broker.url("lab"), "--mqtt-qos", qos};
    if (tls)
        arguments << "--mqtt-ca" << m_certificate;
    startLogger(arguments);
    QVERIFY(loggerEnds(0));
    QVERIFY2(loggerErrors().contains("published to " + broker.url("lab") + ": 40 measurements"),
        qPrintable(loggerErrors()));

    const QStringList rows = fileLines(recording);
    QCOMPARE(rows.size(), 40);
    QTRY_COMPARE(subscriber.payloads("/measurement").size(), 40);
    QStringList published;
    for (const QString &payload : subscriber.payloads("/measurement")) {
        QVERIFY2(payload.startsWith('{' + m_meterField), qPrintable(payload));
        published << recordedPart(payload);
    }
    QCOMPARE(published, rows);
    QTRY_COMPARE(subscriber.payloads("/status"), QStringList({"online", "offline"}));
}

void TestPublish::holdsBackThroughOutages()
{
    MosquittoBroker broker;
    QVERIFY(broker.start());
    MqttSubscriber subscriber(broker, "outage");
    QVERIFY(subscriber.listening());
    broker.stop();

    const QString recording = m_dir.filePath("outage.jsonl");
    startLogger({"-f", "jsonl", "-o", recording, "--force", "--mqtt", broker.url("outage")});
    QTRY_VERIFY_WITH_TIMEOUT(fileLines(recording).size() > 20, 10000);
    QVERIFY(broker.start());
    QTRY_VERIFY_WITH_TIMEOUT(subscriber.payloads("/measurement").size() > 40, 20000);
    broker.stop();
    // The outage itself, not a wait for something.
    QTest::qWait(10000);
    QVERIFY(broker.start());
    QTRY_VERIFY_WITH_TIMEOUT(loggerErrors().contains("publishing again"), 30000);
    ::kill(pid_t(m_logger.processId()), SIGTERM);
    QVERIFY(loggerEnds(0));
    QVERIFY2(loggerErrors().contains("not sent at the end: 0"), qPrintable(loggerErrors()));

    const QStringList rows = fileLines(recording);
    // At least once: a message whose acknowledgement the outage swallowed comes again.
    const auto firstArrivals = [&] {
        QStringList arrived;
        for (const QString &payload : subscriber.payloads("/measurement")) {
            if (!arrived.contains(recordedPart(payload)))
                arrived << recordedPart(payload);
        }
        return arrived;
    };
    QTRY_COMPARE_WITH_TIMEOUT(firstArrivals().size(), rows.size(), 20000);
    QCOMPARE(firstArrivals(), rows);
}

void TestPublish::leavesOfflineAsLastWill()
{
    MosquittoBroker broker;
    QVERIFY(broker.start());
    MqttSubscriber subscriber(broker, "will");
    QVERIFY(subscriber.listening());
    // Publishing only: nothing on standard output.
    startLogger({"--mqtt", broker.url("will")});
    QTRY_VERIFY_WITH_TIMEOUT(subscriber.payloads("/measurement").size() > 5, 20000);
    QCOMPARE(m_logger.readAllStandardOutput(), QByteArray());
    QCOMPARE(subscriber.payloads("/status"), QStringList {"online"});
    m_logger.kill();
    QVERIFY(m_logger.waitForFinished());
    QTRY_COMPARE(subscriber.payloads("/status"), QStringList({"online", "offline"}));
}

void TestPublish::countsWhatTheBufferCannotHold()
{
    const QString unreachable
        = QStringLiteral("mqtt://127.0.0.1:%1/none").arg(MosquittoBroker::freePort());
    startLogger({"-n", "30", "-o", m_dir.filePath("full.csv"), "--force", "--mqtt", unreachable,
        "--mqtt-buffer", "8"});
    QVERIFY(loggerEnds(0));
    QVERIFY2(loggerErrors().contains("0 measurements; dropped beyond the buffer of 8: 22; "
                                     "not sent at the end: 8"),
        qPrintable(loggerErrors()));
    QCOMPARE(fileLines(m_dir.filePath("full.csv")).size(), 31);
}

void TestPublish::windowPublishesAsItsSettingsSay()
{
    MosquittoBroker broker;
    QVERIFY(broker.start());
    MqttSubscriber subscriber(broker, "window");
    QVERIFY(subscriber.listening());
    QSettings store(m_dir.filePath("Settings.ini"), QSettings::IniFormat);
    AppSettings settings(&store);
    settings.setMqttUrl(broker.url("window"));
    CommonCurrentUSBDevice device;
    MeasurementFeed feed(&device);
    WindowPublisher publisher(&feed, &device, &settings);
    QSignalSpy online(&device, &CommonCurrentUSBDevice::deviceOnline);
    device.openPort(m_meter.portName());
    QVERIFY(online.wait(10000));
    QVERIFY(!publisher.isPublishing());

    settings.setMqttEnabled(true);
    QTRY_VERIFY_WITH_TIMEOUT(subscriber.payloads("/measurement").size() > 5, 10000);
    QVERIFY(subscriber.payloads("/measurement")
                .constFirst()
                .startsWith('{' + m_meterField + "\"time\":"));
    QCOMPARE(subscriber.payloads("/status"), QStringList {"online"});
    settings.setMqttEnabled(false);
    QTRY_COMPARE(subscriber.payloads("/status"), QStringList({"online", "offline"}));

    settings.setMqttUrl("mqtt://" + broker.url("window").mid(7).replace(':', "::"));
    settings.setMqttEnabled(true);
    QVERIFY(!publisher.isPublishing());
}

QTEST_GUILESS_MAIN(TestPublish)

#include "tst_publish.moc"
