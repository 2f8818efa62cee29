// SPDX-License-Identifier: GPL-3.0-or-later
#include "loadprofile.h"
#include "meterbench.h"
#include "mosquittobroker.h"
#include "programundertest.h"
#include "simulatedmeter.h"

#include "metersimulator.h"

#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

namespace {

const QString PicturePath = QStringLiteral(AMMETER_TEST_OUTPUT_DIR "/logger-run.png");
const QString FromCsvPicturePath = QStringLiteral(AMMETER_TEST_OUTPUT_DIR "/logger-from-csv.png");

// ammeter-log as a user starts it over SSH or in CI: no display, no platform chosen.
class Logger
{
public:
    explicit Logger(const QStringList &arguments)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
            environment.remove(QLatin1String(name));
        m_process.setProcessEnvironment(environment);
        m_started = QDateTime::currentDateTime();
        m_process.start(QStringLiteral(AMMETER_LOG), arguments);
    }
    // The next flake explains itself.
    ~Logger()
    {
        if (QTest::currentTestFailed())
            qInfo("ammeter-log said:\n%s", qPrintable(errors()));
    }
    // Plugged before the recorder watches the bus, a meter would only be found by its scan.
    bool listensOn(MeterBench &bench)
    {
        return QTest::qWaitFor([&] { return bench.testbed().hasListenerSince(m_started); }, 20000);
    }

    QString errors()
    {
        m_errors += QString::fromUtf8(m_process.readAllStandardError());
        return m_errors;
    }
    bool said(const QString &text) { return errors().contains(text); }
    // -1 while running, or after a crash.
    int exitStatus()
    {
        const bool ended = m_process.state() == QProcess::NotRunning
            && m_process.exitStatus() == QProcess::NormalExit;
        return ended ? m_process.exitCode() : -1;
    }
    QProcess &process() { return m_process; }

private:
    QProcess m_process;
    QString m_errors;
    QDateTime m_started;
};

int lineCount(const QString &fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll().count('\n') : 0;
}

// The elapsed seconds of a CSV recording's rows.
QList<double> elapsedOf(const QString &fileName)
{
    QFile file(fileName);
    QList<double> elapsed;
    if (!file.open(QIODevice::ReadOnly))
        return elapsed;
    const QList<QByteArray> rows = file.readAll().split('\n');
    for (const QByteArray &row : rows.mid(1, rows.size() - 2))
        elapsed << row.split(',').value(1).toDouble();
    return elapsed;
}

// Python's csv module on the file: the currents of each plug, the summary not asked for.
QString checkRecording(const QString &fileName, const QString &sent)
{
    QProcess check;
    check.start(QStringLiteral("python3"),
        {QStringLiteral(AMMETER_CHECK_RECORDING), fileName, sent, QStringLiteral("--no-summary")});
    if (!check.waitForFinished(20000) || check.exitCode() != 0)
        return QString::fromUtf8(check.readAllStandardError());
    return QString();
}

} // namespace

// The recorder from outside: its answers to bad input, and one long run through
// unplug, replug and a limit, read back with Python's csv module.
class TestLogger : public QObject
{
    Q_OBJECT

public:
    explicit TestLogger(MeterBench &bench)
        : m_bench(bench)
        , m_meter(bench.addMeter(QStringLiteral("LOGGER-01")))
        , m_a(bench.addMeter(QStringLiteral("MTRA0001")))
        , m_b(bench.addMeter(QStringLiteral("MTRB0002")))
    {
        m_a->setProfile(LoadProfile::constant(5.0, 0.1, 0.5));
        m_b->setProfile(LoadProfile::constant(5.0, 0.3, 1.5));
    }

private slots:
    void initTestCase();
    void refusesBadInput_data();
    void refusesBadInput();
    void recordsAcrossReplugUntilLimit();
    void silenceLeavesAGapAndHangUpEnds();
    void vanishedPortEndsLikeAnUnplug();
    void recordsEveryMeterThroughAnotherOnesReplug();
    void picksMetersFromTwo_data();
    void picksMetersFromTwo();
    void cleanup()
    {
        for (SimulatedMeter *meter : {m_meter, m_a, m_b})
            meter->unplug();
    }

private:
    bool plugAndWaitFor(Logger &logger, double amperes, const QString &said);

    MeterBench &m_bench;
    SimulatedMeter *m_meter;
    SimulatedMeter *m_a;
    SimulatedMeter *m_b;
    QTemporaryDir m_dir;
};

void TestLogger::initTestCase()
{
    QVERIFY2(MeterBench::inMockEnvironment(), "run under umockdev-wrapper");
    QVERIFY(m_dir.isValid());
    QFile existing(m_dir.filePath(QStringLiteral("existing.csv")));
    QVERIFY(existing.open(QIODevice::WriteOnly) && existing.write("time\n") > 0);
}

void TestLogger::refusesBadInput_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message");
    const QString existing = m_dir.filePath(QStringLiteral("existing.csv"));
    // Long waits: an output problem must be found before any waiting.
    const QStringList wait {"--wait", "1h"};
    const auto row
        = [](const char *name, const QStringList &arguments, int status, const char *message) {
              QTest::newRow(name) << arguments << status << QString::fromUtf8(message);
          };
    row("unknown option", {"--colour"}, 64, "colour");
    row("malformed duration", {"--duration", "10x"}, 64, "--duration");
    row("zero duration", {"-d", "0s"}, 64, "--duration");
    row("negative limit", {"--max-current", "-1"}, 64, "--max-current");
    row("unknown format", {"-f", "xml"}, 64, "--format");
    row("append and force", {"-o", existing, "-a", "--force"}, 64, "exclude");
    row("from without plot", {"--from", existing}, 64, "--plot");
    row("port and serial", {"--port", "/dev/ttyACM9", "--serial", "A"}, 64, "exclude");
    row("every meter as CSV to standard output", {"--all"}, 64, "--all writes");
    row("unwritable output", QStringList {"-o", "/nonexistent/run.csv"} + wait, 1, "/nonexistent");
    row("existing output", QStringList {"-o", existing} + wait, 1, "--force");
    row("append to non-recording", QStringList {"-o", existing, "-a"} + wait, 1, "not a CSV");
    row("unwritable picture", QStringList {"--plot", "/nonexistent/a.png"} + wait, 1, "a.png");
    row("no meter", {"--wait", "300ms"}, 2, "no meter found");
    row("from a non-recording", {"--plot", m_dir.filePath("x.png"), "--from", existing}, 1,
        "existing.csv:1");
}

void TestLogger::refusesBadInput()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, message);
    Logger logger(arguments);
    QVERIFY(logger.process().waitForFinished(20000));
    QCOMPARE(logger.exitStatus(), status);
    QVERIFY2(logger.said(message), qPrintable(logger.errors()));
    if (status == 64)
        QCOMPARE(logger.errors().count('\n'), 1);
}

bool TestLogger::plugAndWaitFor(Logger &logger, double amperes, const QString &said)
{
    // At the 5 V the recording is checked against.
    m_meter->setProfile(LoadProfile::constant(5.0, amperes, 5.0 * amperes));
    return m_meter->plug() && QTest::qWaitFor([&] { return logger.said(said); }, 20000);
}

void TestLogger::recordsAcrossReplugUntilLimit()
{
    const QString csv = m_dir.filePath(QStringLiteral("run.csv"));
    QFile::remove(PicturePath);
    Logger logger({"-o", csv, "--plot", PicturePath, "--max-current", "1"});
    QVERIFY(logger.listensOn(m_bench));

    QVERIFY(plugAndWaitFor(logger, 0.25, "recording from the meter on"));
    QTRY_VERIFY_WITH_TIMEOUT(lineCount(csv) > 10, 10000);
    m_meter->unplug();
    QTRY_VERIFY_WITH_TIMEOUT(logger.said("recording resumes when it returns"), 10000);
    // The stimulus, not a wait: the meter stays away long enough to leave a gap.
    QTest::qWait(1000);
    const int before = lineCount(csv);
    QVERIFY(plugAndWaitFor(logger, 0.5, "recording resumes with the meter on"));
    QTRY_VERIFY_WITH_TIMEOUT(lineCount(csv) > before + 10, 10000);
    m_meter->unplug();
    QTRY_VERIFY_WITH_TIMEOUT(logger.errors().count("unplugged") == 2, 10000);
    QTest::qWait(1000);
    QVERIFY(plugAndWaitFor(logger, 2.0, "exceeds --max-current 1 A"));
    QTRY_COMPARE_WITH_TIMEOUT(logger.exitStatus(), 3, 10000);

    QProcess check;
    check.start(QStringLiteral("python3"),
        {QStringLiteral(AMMETER_CHECK_RECORDING), csv, QStringLiteral("0.25,0.5,2")});
    check.write(logger.errors().toUtf8());
    check.closeWriteChannel();
    QVERIFY(check.waitForFinished(20000));
    QVERIFY2(check.exitCode() == 0, check.readAllStandardError().constData());

    Logger fromCsv({"--plot", FromCsvPicturePath, "--from", csv});
    QVERIFY(fromCsv.process().waitForFinished(20000));
    QCOMPARE(fromCsv.exitStatus(), 0);
    for (const QString &picture : {PicturePath, FromCsvPicturePath})
        QCOMPARE(QImage(picture).size(), QSize(1400, 900));
}

// A recording appended to a file whose last row a kill tore, through a meter that stops
// answering for a while, ended by a dropped SSH session: the file stays a valid CSV with
// a gap where the meter was silent, and the summary comes all the same.
void TestLogger::silenceLeavesAGapAndHangUpEnds()
{
    const QString csv = m_dir.filePath(QStringLiteral("torn.csv"));
    QFile torn(csv);
    QVERIFY(torn.open(QIODevice::WriteOnly));
    torn.write(QByteArray("time,elapsed_s,voltage_V,current_A,power_W,charge_mAh,energy_mWh\n")
        + "2026-01-01T00:00:00.000+00:00,0.000,5.000000,0.250000,1.250000,0.000000,0.000000\n"
        + "2026-01-01T00:00:00.100+00:00,0.1");
    torn.close();
    Logger logger({"-o", csv, "-a"});
    QVERIFY(logger.listensOn(m_bench));
    QVERIFY(plugAndWaitFor(logger, 0.25, "recording from the meter on"));
    QTRY_VERIFY_WITH_TIMEOUT(lineCount(csv) > 5, 10000);
    MeterSimulator::Faults silent;
    silent.silent = true;
    m_meter->line()->setFaults(silent);
    QTRY_VERIFY_WITH_TIMEOUT(logger.said("meter not responding"), 10000);
    const int before = lineCount(csv);
    m_meter->line()->clearFaults();
    QTRY_VERIFY_WITH_TIMEOUT(logger.said("meter answers again"), 10000);
    QTRY_VERIFY_WITH_TIMEOUT(lineCount(csv) > before + 3, 10000);
    ::kill(pid_t(logger.process().processId()), SIGHUP);
    QTRY_COMPARE_WITH_TIMEOUT(logger.exitStatus(), 0, 10000);
    QVERIFY(logger.said("measurements "));
    QVERIFY(logger.said("replies dropped for a bad CRC: 0"));

    QFile file(csv);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> rows = file.readAll().split('\n');
    QCOMPARE(rows.constLast(), QByteArray());
    double previous = 0;
    int gaps = 0;
    for (const QByteArray &row : rows.mid(2, rows.size() - 3)) {
        QCOMPARE(row.count(','), 6);
        const double elapsed = row.split(',').at(1).toDouble();
        gaps += elapsed - previous > 1.0 ? 1 : 0;
        previous = elapsed;
    }
    QCOMPARE(gaps, 1);
}

// The meter's tty gone without a removal event: the recorder lets go of the dead port as on
// an unplug, instead of holding it open and spinning until it is stopped.
void TestLogger::vanishedPortEndsLikeAnUnplug()
{
    Logger logger({"--exit-on-unplug"});
    QVERIFY(logger.listensOn(m_bench));
    QVERIFY(plugAndWaitFor(logger, 0.25, "recording from the meter on"));
    m_meter->vanish();
    QTRY_COMPARE_WITH_TIMEOUT(logger.exitStatus(), 4, 10000);
    QVERIFY(logger.said("meter unplugged"));
}

// Two meters, each polled by its own device and published under its own name: B joins the
// run late on its clock, and pulled out and plugged back it leaves no hole in A's file, and
// goes on in its own file after one gap, as a single meter's recording does: its recorder and
// its totals belong to the meter, not to the plug.
void TestLogger::recordsEveryMeterThroughAnotherOnesReplug()
{
    MosquittoBroker broker;
    QVERIFY(broker.start());
    MqttSubscriber subscriber(broker, "bench");
    QVERIFY(subscriber.listening());
    const QString csv = m_dir.filePath(QStringLiteral("two.csv"));
    const QString a = m_dir.filePath(QStringLiteral("two-MTRA0001.csv"));
    const QString b = m_dir.filePath(QStringLiteral("two-MTRB0002.csv"));
    Logger logger({"--all", "-o", csv, "--mqtt", broker.url("bench")});
    QVERIFY(logger.listensOn(m_bench));
    QVERIFY(m_a->plug());
    QTRY_VERIFY_WITH_TIMEOUT(lineCount(a) > 10, 20000);
    QVERIFY(m_b->plug());
    QTRY_VERIFY_WITH_TIMEOUT(lineCount(b) > 10, 20000);
    m_b->unplug();
    QTRY_VERIFY_WITH_TIMEOUT(logger.said("meter MTRB0002 unplugged"), 10000);
    QTest::qWait(1500);
    QVERIFY(m_b->plug());
    QTRY_VERIFY_WITH_TIMEOUT(logger.said("recording resumes with the meter MTRB0002"), 20000);
    const int before = lineCount(b);
    QTRY_VERIFY_WITH_TIMEOUT(lineCount(b) > before + 10, 10000);
    ::kill(pid_t(logger.process().processId()), SIGTERM);
    QTRY_COMPARE_WITH_TIMEOUT(logger.exitStatus(), 0, 10000);
    QVERIFY(!QFile::exists(csv));
    QVERIFY2(logger.said("meter MTRA0001:") && logger.said("meter MTRB0002:"),
        qPrintable(logger.errors()));

    QCOMPARE(checkRecording(a, QStringLiteral("0.1")), QString());
    QCOMPARE(checkRecording(b, QStringLiteral("0.3,0.3")), QString());
    // Ten a second each, A until the end; one clock, on which B came later.
    const QList<double> timesA = elapsedOf(a);
    const QList<double> timesB = elapsedOf(b);
    const double seconds = timesA.constLast() - timesA.constFirst();
    QVERIFY2(timesA.size() > 8 * seconds, qPrintable(QString::number(timesA.size() / seconds)));
    QVERIFY(timesB.constFirst() > timesA.constFirst() + 0.5);
    QVERIFY(qAbs(timesA.constLast() - timesB.constLast()) < 1.0);
    for (const char *meter : {"MTRA0001", "MTRB0002"}) {
        const QString topic = QStringLiteral("bench/%1/").arg(meter);
        QTRY_VERIFY(subscriber.payloads(topic + "measurement").size() > 10);
        QVERIFY(subscriber.payloads(topic + "measurement").constFirst().contains(meter));
    }
}

void TestLogger::picksMetersFromTwo_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QStringList>("meters");
    // Without a meter's name, the line is B's: the only meter recorded.
    QTest::newRow("--serial") << QStringList {"--serial", "MTRB0002"} << QStringList {""};
    QTest::newRow("--all to standard output")
        << QStringList {"--all"} << QStringList {"MTRA0001", "MTRB0002"};
}

void TestLogger::picksMetersFromTwo()
{
    QFETCH(QStringList, arguments);
    QFETCH(QStringList, meters);
    QVERIFY(m_a->plug() && m_b->plug());
    Logger logger(arguments + QStringList {"-f", "jsonl", "-n", "20"});
    QTRY_COMPARE_WITH_TIMEOUT(logger.exitStatus(), 0, 20000);
    const QHash<QString, double> currents {{"MTRA0001", 0.1}, {"MTRB0002", 0.3}, {"", 0.3}};
    QHash<QString, int> lines;
    for (const QByteArray &line : logger.process().readAllStandardOutput().split('\n')) {
        if (line.isEmpty())
            continue;
        const QJsonObject row = QJsonDocument::fromJson(line).object();
        const QString meter = row.value("meter").toString();
        QVERIFY2(meters.contains(meter), line.constData());
        QCOMPARE(row.value("current_A").toDouble(), currents.value(meter));
        ++lines[meter];
    }
    for (const QString &meter : meters)
        QCOMPARE(lines.value(meter), 20);
}

int main(int argc, char *argv[])
{
    // The emulated USB bus has to exist before the application object.
    MeterBench bench(firstTtyNumberOfThisProcess());
    QCoreApplication app(argc, argv);
    TestLogger test(bench);
    return QTest::qExec(&test, argc, argv);
}

#include "tst_logger.moc"
