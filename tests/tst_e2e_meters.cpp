#include "meterbench.h"
#include "meterrequests.h"
#include "programundertest.h"
#include "simulatedmeter.h"

#include <QCoreApplication>
#include <QtTest>

#include <memory>

namespace {

bool untouched(const MeterSimulator &line)
{
    return line.requests().isEmpty() && !line.isLineOpen() && line.lineCloseCount() == 0;
}

} // namespace

// Meters the program has to be choosy about: a second one while it talks to the
// first, and one that never answers. Each case gets a freshly started program.
class TestE2eMeters : public QObject
{
    Q_OBJECT

public:
    explicit TestE2eMeters(MeterBench &bench)
        : m_bench(bench)
    { }

private slots:
    void init();
    void cleanup();
    void secondMeterStaysClosed();
    void silentMeterGetsFiveHandshakes();

private:
    SimulatedMeter *addMeter(const QString &name);

    MeterBench &m_bench;
    std::unique_ptr<ProgramUnderTest> m_program;
    QVector<SimulatedMeter *> m_meters;
};

void TestE2eMeters::init()
{
    QVERIFY2(MeterBench::inMockEnvironment(), "run under umockdev-wrapper");
    m_program = std::make_unique<ProgramUnderTest>();
    QVERIFY2(m_program->start(), qPrintable(m_program->errorString()));
}

// The next case's program must not find this case's meters at start-up.
void TestE2eMeters::cleanup()
{
    m_program.reset();
    for (SimulatedMeter *meter : qAsConst(m_meters))
        meter->unplug();
    m_meters.clear();
}

SimulatedMeter *TestE2eMeters::addMeter(const QString &name)
{
    // Serial numbers stay unique across the cases: the bench outlives them all.
    SimulatedMeter *meter
        = m_bench.addMeter(QStringLiteral("E2E-%1-%2").arg(name).arg(QTest::currentTestFunction()));
    m_meters << meter;
    return meter;
}

void TestE2eMeters::secondMeterStaysClosed()
{
    SimulatedMeter *first = addMeter(QStringLiteral("FIRST"));
    SimulatedMeter *second = addMeter(QStringLiteral("SECOND"));
    QVERIFY(first->plug());
    QTRY_VERIFY_WITH_TIMEOUT(MeterRequests::isPolled(*first->line(), 3), 20000);

    QVERIFY(second->plug());
    // Ten more polls of the open meter make "the other one was left alone" believable.
    const int watchedUntil = MeterRequests::pollCount(*first->line()) + 10;
    QTRY_VERIFY_WITH_TIMEOUT(MeterRequests::pollCount(*first->line()) >= watchedUntil, 20000);
    QVERIFY(first->line()->isLineOpen());
    QVERIFY(untouched(*second->line()));

    // The device remembers the last matching port the monitor reported, even one it could
    // not open because the first meter held the line: pulling the second meter therefore
    // closes the first one's port, and nothing reopens it until it is plugged again.
    second->unplug();
    QTRY_VERIFY_WITH_TIMEOUT(!first->line()->isLineOpen(), 5000);
    QVERIFY(untouched(*second->line()));
}

void TestE2eMeters::silentMeterGetsFiveHandshakes()
{
    SimulatedMeter *silent = addMeter(QStringLiteral("SILENT"));
    MeterSimulator::Faults neverAnswers;
    neverAnswers.silent = true;
    silent->setFaults(neverAnswers);
    QVERIFY(silent->plug());
    const MeterSimulator &line = *silent->line();

    const auto handshakes = [&] { return line.requestCount(MeterSimulator::MeasurementRequest); };
    QTRY_COMPARE_WITH_TIMEOUT(handshakes(), 5, 20000);
    // A sixth attempt would come about 1.3 s after the fifth (its wait and pause).
    QVERIFY(!QTest::qWaitFor([&] { return handshakes() > 5; }, 3000));
    QCOMPARE(MeterRequests::kinds(line),
        QVector<MeterSimulator::RequestKind>(5, MeterSimulator::MeasurementRequest));
    // Given up, but still holding the port.
    QVERIFY(line.isLineOpen());

    silent->unplug();
    QTRY_VERIFY_WITH_TIMEOUT(!line.isLineOpen(), 10000);
    SimulatedMeter *good = addMeter(QStringLiteral("GOOD"));
    QVERIFY(good->plug());
    QTRY_VERIFY_WITH_TIMEOUT(MeterRequests::isPolled(*good->line(), 3), 20000);
    QCOMPARE(handshakes(), 5);
}

int main(int argc, char *argv[])
{
    // The emulated USB bus has to exist before the application object.
    MeterBench bench(firstTtyNumberOfThisProcess());
    QCoreApplication app(argc, argv);
    TestE2eMeters test(bench);
    return QTest::qExec(&test, argc, argv);
}

#include "tst_e2e_meters.moc"
