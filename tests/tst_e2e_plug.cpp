// SPDX-License-Identifier: GPL-3.0-or-later
#include "meterbench.h"
#include "meterrequests.h"
#include "programundertest.h"
#include "simulatedmeter.h"

#include <QCoreApplication>
#include <QtTest>

// The real program, started the way a user starts it, with meters plugged in and
// pulled out from outside: one over and over, a second one beside it, a silent one.
class TestE2ePlug : public QObject
{
    Q_OBJECT

public:
    explicit TestE2ePlug(MeterBench &bench)
        : m_bench(bench)
        , m_meter(bench.addMeter(QStringLiteral("E2E-PLUG-01")))
    { }

private slots:
    void initTestCase()
    {
        QVERIFY2(MeterBench::inMockEnvironment(), "run under umockdev-wrapper");
        QVERIFY2(m_program.start(), qPrintable(m_program.errorString()));
    }
    // A failed case leaves what the program said last to go on.
    void cleanup()
    {
        m_meter->unplug();
        if (QTest::currentTestFailed())
            qInfo("%s", qPrintable(m_program->logLines().join('\n')));
    }
    void plugAndUnplug_data()
    {
        QTest::addColumn<int>("calibration");
        QTest::newRow("first plug") << 4321;
        // The same meter again, on a fresh ttyACM node.
        QTest::newRow("plugged again") << 65535;
    }
    void plugAndUnplug()
    {
        QFETCH(int, calibration);
        const QString previousPort = m_meter->portName();
        const int calibrationLinesBefore = m_program->logLinesContaining("校准参数").size();
        m_meter->setCalibrationValue(quint16(calibration));
        QVERIFY2(m_meter->plug(), qPrintable(m_meter->errorString()));
        QVERIFY(m_meter->portName() != previousPort);
        const MeterSimulator &line = *m_meter->line();
        // Handshake, one calibration read, then a poll every 100 ms, timed over many polls so
        // that one late wake-up on a busy machine does not count.
        QTRY_VERIFY_WITH_TIMEOUT(MeterRequests::isPolled(line, 31), 20000);
        const QVector<MeterSimulator::RequestKind> kinds = MeterRequests::kinds(line);
        QCOMPARE(kinds.mid(0, 2),
            QVector<MeterSimulator::RequestKind>(
                {MeterSimulator::MeasurementRequest, MeterSimulator::CalibrationRequest}));
        QCOMPARE(kinds.count(MeterSimulator::CalibrationRequest), 1);
        QCOMPARE(kinds.count(MeterSimulator::OtherBytes), 0);
        const QVector<qint64> polls = MeterRequests::times(line).mid(0, 31);
        const double gap = MeterRequests::meanGapMs(polls);
        QVERIFY2(gap >= 97 && gap <= 106, qPrintable(QString::number(gap)));
        // The calibration's reply, its 50 ms settle and one 100 ms round, then the first period
        // of the poll, which starts on the worker as soon as the meter answered.
        const qint64 firstPoll = polls.constFirst() - line.requests().at(1).atMs;
        QVERIFY2(firstPoll >= 240 && firstPoll <= 280, qPrintable(QString::number(firstPoll)));
        QTRY_COMPARE(m_program->logLinesContaining("校准参数").size(), calibrationLinesBefore + 1);
        const QString calibrationLine = m_program->logLinesContaining("校准参数").constLast();
        QVERIFY2(
            calibrationLine.contains(QString::number(calibration)), qPrintable(calibrationLine));
        QElapsedTimer sinceUnplug;
        sinceUnplug.start();
        m_meter->unplug();
        QTRY_VERIFY_WITH_TIMEOUT(!line.isLineOpen() && line.lineCloseCount() > 0, 10000);
        QVERIFY2(sinceUnplug.elapsed() < 500, qPrintable(QString::number(sinceUnplug.elapsed())));
    }
    // Two meters, pulled in either order: each is polled on its own, ten times a second, and
    // the one left in goes on as if the other had never been there.
    void twoMeters_data()
    {
        QTest::addColumn<bool>("pullSecondFirst");
        QTest::newRow("the later one pulled first") << true;
        QTest::newRow("the first one pulled first") << false;
    }
    void twoMeters()
    {
        QFETCH(bool, pullSecondFirst);
        SimulatedMeter *second
            = m_bench.addMeter(QStringLiteral("E2E-SECOND-%1").arg(int(pullSecondFirst)));
        QVERIFY(plugUntilPolled());
        QVERIFY(second->plug());
        QTRY_VERIFY_WITH_TIMEOUT(MeterRequests::isPolled(*second->line(), 21), 20000);
        for (SimulatedMeter *meter : {m_meter, second}) {
            const double gap = MeterRequests::meanGapMs(MeterRequests::times(*meter->line()));
            QVERIFY2(gap > 90 && gap < 115, qPrintable(QString::number(gap)));
        }
        SimulatedMeter *pulled = pullSecondFirst ? second : m_meter;
        const MeterSimulator &kept = *(pullSecondFirst ? m_meter : second)->line();
        pulled->unplug();
        const int polls = MeterRequests::pollCount(kept);
        QTRY_VERIFY_WITH_TIMEOUT(MeterRequests::pollCount(kept) >= polls + 10, 20000);
        QVERIFY(kept.isLineOpen());
        QCOMPARE(kept.lineCloseCount(), 0);
        second->unplug();
    }
    void silentMeterGetsFiveHandshakes()
    {
        SimulatedMeter *silent = m_bench.addMeter(QStringLiteral("E2E-SILENT"));
        MeterSimulator::Faults neverAnswers;
        neverAnswers.silent = true;
        silent->setFaults(neverAnswers);
        QVERIFY(silent->plug());
        const MeterSimulator &line = *silent->line();
        const auto handshakes
            = [&] { return line.requestCount(MeterSimulator::MeasurementRequest); };
        QTRY_COMPARE_WITH_TIMEOUT(handshakes(), 5, 20000);
        // Each attempt waits 500 ms for an answer, 100 ms more and two 100 ms rounds for the
        // rest of it, and pauses 500 ms before the next.
        const double gap = MeterRequests::meanGapMs(MeterRequests::times(line, true));
        QVERIFY2(gap >= 1290 && gap <= 1360, qPrintable(QString::number(gap)));
        // A sixth attempt would come about 1.1 s after the fifth (its wait and pause).
        QVERIFY(!QTest::qWaitFor([&] { return handshakes() > 5; }, 3000));
        QCOMPARE(MeterRequests::kinds(line),
            QVector<MeterSimulator::RequestKind>(5, MeterSimulator::MeasurementRequest));
        // Given up, the port is let go, and a good meter plugged next is taken.
        QTRY_VERIFY_WITH_TIMEOUT(!line.isLineOpen(), 10000);
        QVERIFY(plugUntilPolled());
        QCOMPARE(handshakes(), 5);
        silent->unplug();
    }

private:
    // Long waits: after a pull in the middle of the handshake, the program may
    // finish its five attempts on the old port before it takes the new one.
    bool plugUntilPolled()
    {
        return m_meter->plug()
            && QTest::qWaitFor(
                [this] { return MeterRequests::isPolled(*m_meter->line(), 3); }, 30000);
    }

    MeterBench &m_bench;
    SimulatedMeter *m_meter;
    ProgramUnderTest m_program;
};

int main(int argc, char *argv[])
{
    // The emulated USB bus has to exist before the application object.
    MeterBench bench(firstTtyNumberOfThisProcess());
    QCoreApplication app(argc, argv);
    TestE2ePlug test(bench);
    return QTest::qExec(&test, argc, argv);
}

#include "tst_e2e_plug.moc"
