// SPDX-License-Identifier: GPL-3.0-or-later
#include "appsettings.h"
#include "commoncurrentusbdevice.h"
#include "measurementfeed.h"
#include "meterpublisher.h"
#include "metersimulator.h"
#include "mosquittobroker.h"
#include "windowpublisher.h"
#include "windowrecorder.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <netdb.h>
#include <signal.h>

namespace {

QStringList fileLines(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return QStringList();
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

// What the resolver says of a name under .invalid, as the publisher should pass it on.
QString lookupFailure(const char *name)
{
    addrinfo *found = nullptr;
    const int result = getaddrinfo("unheld.invalid", nullptr, nullptr, &found);
    if (found)
        freeaddrinfo(found);
    return QStringLiteral("cannot find %1: %2").arg(name, gai_strerror(result));
}

// Every measurement once, in order, none missing: at the meter's 100 ms,
// successive elapsed times differ by well under a second.
void verifyWhole(const QStringList &elapsed)
{
    for (int i = 1; i < elapsed.size(); ++i) {
        const double step = elapsed.at(i).toDouble() - elapsed.at(i - 1).toDouble();
        QVERIFY2(step > 0 && step < 0.5, qPrintable(elapsed.mid(i - 1, 2).join(" then ")));
    }
}

QStringList csvColumn(const QString &fileName, int column)
{
    QStringList values;
    for (const QString &row : fileLines(fileName).mid(1))
        values << row.section(',', column, column);
    return values;
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
    void readsTheBrokerAddress_data();
    void readsTheBrokerAddress();
    void publishesEveryMeasurementOnceInOrder_data();
    void publishesEveryMeasurementOnceInOrder();
    void holdsBackThroughOutages();
    void leavesOfflineAsLastWill();
    void countsWhatTheBufferCannotHold();
    void countsPastSixteenBitMessageIds();
    void tellsWhyThereIsNoConnection_data();
    void tellsWhyThereIsNoConnection();
    void recordsWholeWhileTheNameLookupHangs();
    void windowPublishesAsItsSettingsSay();
    void windowTellsAndRecordsWhileTheNameLookupHangs();

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
    QString m_otherCertificate;
    QString m_marker;
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
    m_otherCertificate = m_dir.filePath("other.pem");
    openssl.start("openssl",
        {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "1", "-subj", "/CN=other",
            "-keyout", m_dir.filePath("other.key"), "-out", m_otherCertificate});
    QVERIFY2(openssl.waitForFinished(30000) && openssl.exitCode() == 0, openssl.readAll());
    m_marker = m_dir.filePath("lookup-held");
    qputenv("AMMETER_HELD_LOOKUP", m_marker.toLocal8Bit());
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
    row("buffer beyond a day", {"--mqtt", "mqtt://host/lab", "--mqtt-buffer", "864001"},
        "up to 864000 (a day), not \"864001\"");
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

void TestPublish::readsTheBrokerAddress_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("error");
    QTest::addColumn<QString>("host");
    QTest::addColumn<int>("port");
    QTest::addColumn<QString>("prefix");
    QTest::newRow("IPv6 host and port")
        << "mqtt://[::1]:1884/lab/bench/" << QString() << "::1" << 1884 << "lab/bench";
    QTest::newRow("IPv6 host, the TLS port")
        << "mqtts://[2001:db8::5]/lab" << QString() << "2001:db8::5" << 8883 << "lab";
    QTest::newRow("no prefix") << "mqtt://broker.lab" << QString() << "broker.lab" << 1883
                               << "ammeter";
    QTest::newRow("user name alone") << "mqtt://u@host/lab"
                                     << "AMMETER_MQTT_USER" << QString() << 0 << QString();
    QTest::newRow("credentials before an IPv6 host")
        << "mqtt://u:p@[::1]:1884/lab"
        << "AMMETER_MQTT_USER" << QString() << 0 << QString();
    QTest::newRow("IPv6 host unclosed")
        << "mqtt://[::1/lab"
        << "mqtt://host[:port]/prefix" << QString() << 0 << QString();
    QTest::newRow("IPv6 host, port not a number") << "mqtt://[::1]:x/lab"
                                                  << "not \"x\"" << QString() << 0 << QString();
}

void TestPublish::readsTheBrokerAddress()
{
    QFETCH(QString, url);
    QFETCH(QString, error);
    BrokerSettings settings;
    const QString said = settings.parseUrl(url);
    QVERIFY2(error.isEmpty() ? said.isEmpty() : said.contains(error), qPrintable(said));
    if (!error.isEmpty())
        return;
    QTEST(settings.host, "host");
    QTEST(settings.port, "port");
    QTEST(settings.prefix, "prefix");
}

void TestPublish::publishesEveryMeasurementOnceInOrder_data()
{
    QTest::addColumn<bool>("tls");
    QTest::addColumn<QString>("qos");
    QTest::addColumn<QString>("user");
    QTest::addColumn<bool>("fromFile");
    QTest::newRow("at least once") << false << "1" << QString() << false;
    QTest::newRow("at most once") << false << "0" << QString() << false;
    QTest::newRow("TLS") << true << "1" << QString() << false;
    QTest::newRow("user from the environment") << false << "1"
                                               << "bench3" << false;
    QTest::newRow("user from a file others can read") << false << "1"
                                                      << "bench4" << true;
}

void TestPublish::publishesEveryMeasurementOnceInOrder()
{
    QFETCH(bool, tls);
    QFETCH(QString, qos);
    QFETCH(QString, user);
    QFETCH(bool, fromFile);
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
    QFile passwords(m_dir.filePath("passwords"));
    if (fromFile) {
        QVERIFY(passwords.open(QIODevice::WriteOnly));
        passwords.write(user.toUtf8() + "\npass word\n");
        passwords.close();
        passwords.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther);
        environment.insert("AMMETER_MQTT_USER", "not this one");
        m_logger.setProcessEnvironment(environment);
        arguments << "--mqtt-password-file" << passwords.fileName();
    }
    startLogger(arguments);
    QVERIFY(loggerEnds(0));
    QVERIFY2(loggerErrors().contains("published to " + broker.url("lab") + ": 40 measurements"),
        qPrintable(loggerErrors()));
    // A word of credentials that other users, or anyone on the way, could read.
    QCOMPARE(loggerErrors().contains("chmod 600 " + passwords.fileName()), fromFile);
    QCOMPARE(
        loggerErrors().contains("go to " + broker.url("lab") + " unencrypted"), !user.isEmpty());

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

// The library's ids are 16 bits: 70,000 held measurements, all handed over
// as one burst when the broker answers, are each counted once.
void TestPublish::countsPastSixteenBitMessageIds()
{
    MosquittoBroker broker;
    QVERIFY(broker.start());
    BrokerSettings settings;
    QCOMPARE(settings.parseUrl(broker.url("ids")), QString());
    settings.bufferLimit = 100000;
    MeterPublisher publisher(settings);
    publisher.meterOnline("bench");
    for (int i = 0; i < 70000; ++i)
        publisher.publish(QByteArray("{\"n\":") + QByteArray::number(i) + '}');
    QSignalSpy finished(&publisher, &MeterPublisher::finished);
    publisher.finish(60000);
    QVERIFY(finished.wait(90000));
    QVERIFY2(publisher.summary().contains(": 70000 measurements; dropped beyond the buffer of "
                                          "100000: 0; not sent at the end: 0"),
        qPrintable(publisher.summary()));
}

void TestPublish::tellsWhyThereIsNoConnection_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("reason");
    QTest::newRow("name not found")
        << "mqtt://broker.invalid/lab" << QStringList() << lookupFailure("broker.invalid");
    QTest::newRow("refused")
        << QStringLiteral("mqtt://127.0.0.1:%1/lab").arg(MosquittoBroker::freePort())
        << QStringList() << QString::fromLocal8Bit(strerror(ECONNREFUSED));
    QTest::newRow("untrusted certificate")
        << QString() << QStringList {"--mqtt-ca", m_otherCertificate}
        << "certificate verify failed";
}

// Before any first connection, each reason told once, in the library's words.
void TestPublish::tellsWhyThereIsNoConnection()
{
    QFETCH(QString, url);
    QFETCH(QStringList, arguments);
    QFETCH(QString, reason);
    MosquittoBroker broker(m_certificate, m_key);
    if (url.isEmpty()) {
        QVERIFY(broker.start());
        url = broker.url("lab");
    }
    startLogger(
        QStringList {"-n", "20", "-o", m_dir.filePath("unheard.csv"), "--force", "--mqtt", url}
        + arguments);
    QVERIFY(loggerEnds(0));
    const QString errors = loggerErrors();
    QVERIFY2(errors.contains(reason) && errors.count("no connection to " + url) == 1,
        qPrintable(errors));
}

void TestPublish::recordsWholeWhileTheNameLookupHangs()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("LD_PRELOAD", HELD_LOOKUP);
    m_logger.setProcessEnvironment(environment);
    const QString recording = m_dir.filePath("held.csv");
    startLogger(
        {"-n", "40", "-o", recording, "--force", "--mqtt", "mqtt://broker.held.invalid/lab"});
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(m_marker), 10000);
    QTRY_VERIFY_WITH_TIMEOUT(fileLines(recording).size() > 20, 10000);
    QVERIFY2(QFile::exists(m_marker), "the lookup ended before the test let it go");
    QFile::remove(m_marker);
    QVERIFY(loggerEnds(0));
    const QString errors = loggerErrors();
    QVERIFY2(errors.contains(lookupFailure("broker.held.invalid")), qPrintable(errors));
    QVERIFY2(!errors.contains("not responding"), qPrintable(errors));
    QCOMPARE(fileLines(recording).size(), 41);
    verifyWhole(csvColumn(recording, 1));
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
    QTRY_VERIFY(publisher.statusText().contains(broker.url("window")));
    // A field left by Tab, unchanged, keeps the connection.
    QSignalSpy status(&publisher, &WindowPublisher::statusChanged);
    settings.setMqttUrl(settings.mqttUrl());
    settings.setMqttCaFile(QString());
    QCOMPARE(status.count(), 0);
    settings.setMqttEnabled(false);
    QTRY_COMPARE(subscriber.payloads("/status"), QStringList({"online", "offline"}));
    QCOMPARE(publisher.statusText(), QString());
    const auto charge = [](const QString &payload) {
        return QJsonDocument::fromJson(payload.toUtf8())["charge_mAh"].toDouble();
    };
    QVERIFY(charge(subscriber.payloads("/measurement").constLast()) > 0);

    // Turned on again, the published totals start from zero.
    const int sent = subscriber.payloads("/measurement").size();
    settings.setMqttEnabled(true);
    QTRY_VERIFY_WITH_TIMEOUT(subscriber.payloads("/measurement").size() > sent, 10000);
    QCOMPARE(charge(subscriber.payloads("/measurement").at(sent)), 0.0);

    settings.setMqttUrl("mqtt://" + broker.url("window").mid(7).replace(':', "::"));
    QVERIFY(!publisher.isPublishing());
}

// The window goes on recording, every measurement once, while the broker's
// name is being looked up, and then says why there is no connection.
void TestPublish::windowTellsAndRecordsWhileTheNameLookupHangs()
{
    QSettings store(m_dir.filePath("Held.ini"), QSettings::IniFormat);
    AppSettings settings(&store);
    settings.setMqttUrl("mqtt://broker.held.invalid/window");
    CommonCurrentUSBDevice device;
    MeasurementFeed feed(&device);
    WindowPublisher publisher(&feed, &device, &settings);
    WindowRecorder recorder;
    connect(&feed, &MeasurementFeed::measured, &recorder, [&](const Measurement &measurement) {
        recorder.add(measurement.meter, measurement, feed.totals());
    });
    QSignalSpy online(&device, &CommonCurrentUSBDevice::deviceOnline);
    device.openPort(m_meter.portName());
    QVERIFY(online.wait(10000));
    QVERIFY(recorder.start(m_dir.filePath("window"), RecordWriter::Csv));

    settings.setMqttEnabled(true);
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(m_marker), 10000);
    QVERIFY(publisher.statusText().contains("broker.held.invalid"));
    const qint64 rows = recorder.rows();
    QTRY_VERIFY_WITH_TIMEOUT(recorder.rows() > rows + 10, 10000);
    QVERIFY2(QFile::exists(m_marker), "the lookup ended before the test let it go");
    QFile::remove(m_marker);
    QTRY_VERIFY_WITH_TIMEOUT(
        publisher.statusText().contains(lookupFailure("broker.held.invalid")), 10000);
    recorder.stop();
    verifyWhole(csvColumn(recorder.filePath(), 1));
}

QTEST_GUILESS_MAIN(TestPublish)

#include "tst_publish.moc"
