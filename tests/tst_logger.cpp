// SPDX-License-Identifier: GPL-3.0-or-later
#include "loadprofile.h"
#include "meterbench.h"
#include "mosquittobroker.h"
#include "programundertest.h"
#include "recordingcheck.h"
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
const char *const Header = "time,elapsed_s,voltage_V,current_A,power_W,charge_mAh,energy_mWh";

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

QList<QList<QByteArray>> csvRows(const QString &fileName)
{
    QFile file(fileName);
    QList<QList<QByteArray>> rows;
    if (!file.open(QIODevice::ReadOnly))
        return rows;
    file.readLine();
    while (!file.atEnd())
        rows.append(file.readLine().trimmed().split(','));
    return rows;
}

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
    void appendSeams_data();
    void appendSeams();
    void vanishedPortEndsLikeAnUnplug();
    void recordsEveryMeterThroughAnotherOnesReplug();
    void picksMetersFromTwo_data();
    void picksMetersFromTwo();
    void stopConditionEndsTheTest_data();
    void stopConditionEndsTheTest();
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
    row("zero charge", {"--stop-at-charge", "0"}, 64, "--stop-at-charge");
    row("hold alone", {"--hold", "2s"}, 64, "--hold needs");
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
    const QString error = checkRecording({csv, "0.25,0.5,2"}, logger.errors().toUtf8());
    QVERIFY2(error.isEmpty(), qPrintable(error));
    // Its summary beside it: a long run opens without every row read again.
    QVERIFY(QFile::exists(csv + ".summary"));

    Logger fromCsv({"--plot", FromCsvPicturePath, "--from", csv});
    QVERIFY(fromCsv.process().waitForFinished(20000));
    QCOMPARE(fromCsv.exitStatus(), 0);
    for (const QString &picture : {PicturePath, FromCsvPicturePath})
        QCOMPARE(QImage(picture).size(), QSize(1400, 900));
}

// A meter that stops answering for a while, then a dropped SSH session: a gap where the meter
// was silent, and the summary all the same.
void TestLogger::silenceLeavesAGapAndHangUpEnds()
{
    const QString csv = m_dir.filePath(QStringLiteral("silence.csv"));
    Logger logger({"-o", csv});
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
    QVERIFY(logger.said("replies dropped for a bad CRC: 0"));
    const QString error = checkRecording({csv, "0.25,0.25"}, logger.errors().toUtf8());
    QVERIFY2(error.isEmpty(), qPrintable(error));
}

// --append where a recording ended torn by a kill, where it ended cleanly, and onto an empty
// file: the old rows and the new ones each once and whole, read as a spreadsheet reads them.
void TestLogger::appendSeams_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<int>("rowsBefore");
    const QByteArray csv = QByteArray(Header)
        + "\n2026-01-01T08:00:00.000+08:00,0.000,5.0,0.25,1.25,0.0,0.0\n"
          "2026-01-01T08:00:00.100+08:00,0.100,5.0,0.25,1.25,0.006944,0.034722\n";
    const QByteArray jsonl = R"({"time":"2026-01-01T08:00:00.000+08:00","elapsed_s":0.000,)"
                             R"("voltage_V":5.0,"current_A":0.25,"power_W":1.25,"charge_mAh":0.0,)"
                             R"("energy_mWh":0.0})"
                             "\n"
                             R"({"time":"2026-01-01T08:00:00.100+08:00","elapsed_s":0.100,)"
                             R"("voltage_V":5.0,"current_A":0.25,"power_W":1.25,)"
                             R"("charge_mAh":0.006944,"energy_mWh":0.034722})"
                             "\n";
    for (const QString format : {"csv", "jsonl"}) {
        const QByteArray whole = format == "csv" ? csv : jsonl;
        const QByteArray torn = format == "csv" ? "2026-01-01T08:00:00.200+08:00,0.2" : "{\"ti";
        QTest::addRow("%s after a torn row", qPrintable(format)) << format << whole + torn << 2;
        QTest::addRow("%s after a clean end", qPrintable(format)) << format << whole << 2;
        QTest::addRow("%s onto an empty file", qPrintable(format)) << format << QByteArray() << 0;
    }
}

void TestLogger::appendSeams()
{
    QFETCH(QString, format);
    QFETCH(QByteArray, before);
    QFETCH(int, rowsBefore);
    const QString path = m_dir.filePath(QStringLiteral("seam.") + format);
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(before), before.size());
    file.close();
    m_meter->setProfile(LoadProfile::constant(5.0, 0.25, 1.25));
    QVERIFY(m_meter->plug());
    Logger logger({"-o", path, "-a", "-f", format, "--count", "5"});
    QVERIFY(logger.process().waitForFinished(20000));
    QCOMPARE(logger.exitStatus(), 0);
    const QString error = checkRecording(
        {path, rowsBefore ? "0.25,0.25" : "0.25", "--rows", QString::number(rowsBefore + 5)});
    QVERIFY2(error.isEmpty(), qPrintable(error));
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

    QCOMPARE(checkRecording({a, "0.1"}), QString());
    // B joined the run late, on its clock: its first row is not at 0.
    QCOMPARE(checkRecording({b, "0.3,0.3", "--first-within", "60"}), QString());
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

void TestLogger::stopConditionEndsTheTest_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("column");
    QTest::addColumn<double>("threshold");
    QTest::addColumn<QString>("words");
    // Columns of the CSV: 2 voltage, 3 current, 5 charge, 6 energy.
    QTest::newRow("voltage") << QStringList {"--stop-below-voltage", "3.5"} << 2 << 3.5
                             << "stopped: voltage below 3.5 V (";
    QTest::newRow("current") << QStringList {"--stop-below-current", "0.35", "--hold", "0.5s"} << 3
                             << 0.35 << "stopped: current below 0.35 A (";
    QTest::newRow("charge") << QStringList {"--stop-at-charge", "0.2"} << -5 << 0.2
                            << "stopped: charge reaching 0.2 mAh (";
    QTest::newRow("energy") << QStringList {"--stop-at-energy", "0.7", "--max-current", "1"} << -6
                            << 0.7 << "stopped: energy reaching 0.7 mWh (";
}

// A battery run down over four seconds, with one sample's sag on the way: the run ends with
// status 0 at the first row from which the condition has held for the hold time, a sag shorter
// than the hold does not end it, every row stays, and the summary and the events file say why.
// A negative column is a total that reaches its threshold; a positive one a value that falls.
void TestLogger::stopConditionEndsTheTest()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, column);
    QFETCH(double, threshold);
    QFETCH(QString, words);
    const QString csv
        = m_dir.filePath(QStringLiteral("discharge-%1.csv").arg(QTest::currentDataTag()));
    Logger logger(QStringList {"-o", csv} + arguments);
    QVERIFY(logger.listensOn(m_bench));
    m_meter->setProfile(LoadProfile::discharge(4.2, 3.0, 40, 10));
    QVERIFY(m_meter->plug());
    QTRY_COMPARE_WITH_TIMEOUT(logger.exitStatus(), 0, 20000);

    const QList<QList<QByteArray>> rows = csvRows(csv);
    QVERIFY(rows.size() > 10);
    const auto value = [&](int row) { return rows.at(row).at(qAbs(column)).toDouble(); };
    const auto holds
        = [&](int row) { return column < 0 ? value(row) >= threshold : value(row) < threshold; };
    const auto seconds = [&](int row) { return rows.at(row).at(1).toDouble(); };
    const double hold = arguments.contains("--hold") ? 0.5 : 1.0;
    int since = rows.size() - 1;
    while (since > 0 && holds(since - 1))
        --since;
    QVERIFY2(holds(rows.size() - 1), "the last row does not meet the condition");
    // Held for the hold time at the last row, and not yet at the one before; the file's
    // milliseconds round the recorder's own clock by half of one each.
    const double rounding = 0.0011;
    QVERIFY(seconds(rows.size() - 1) - seconds(since) > hold - rounding);
    QVERIFY(seconds(rows.size() - 2) - seconds(since) < hold + rounding);
    if (column > 0) {
        bool sagged = false;
        for (int row = 1; row < since - 1; ++row)
            sagged = sagged || (holds(row) && !holds(row + 1));
        QVERIFY2(sagged, "no lone low sample before the end");
    }
    QVERIFY2(logger.said(words
                 + QString::number(value(rows.size() - 1), 'f',
                     column == 2       ? 2
                         : column == 3 ? 3
                                       : 1)
                 + " "),
        qPrintable(logger.errors()));
    QVERIFY(logger.said(") after 0:00:0"));

    QFile events(csv + ".events");
    QVERIFY(events.open(QIODevice::ReadOnly));
    const QByteArray told = events.readAll();
    QVERIFY2(told.startsWith("time,elapsed_s,event,text\n"), told.constData());
    QVERIFY2(told.contains(",started,") && told.contains(",condition," + words.mid(9).toUtf8())
            && told.endsWith(",stopped,stop condition\n"),
        told.constData());
}

int main(int argc, char *argv[])
{
    recordInChinaTime();
    // The emulated USB bus has to exist before the application object.
    MeterBench bench(firstTtyNumberOfThisProcess());
    QCoreApplication app(argc, argv);
    TestLogger test(bench);
    return QTest::qExec(&test, argc, argv);
}

#include "tst_logger.moc"
