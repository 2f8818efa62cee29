#include "meterbench.h"
#include "meterrequests.h"
#include "programundertest.h"
#include "simulatedmeter.h"

#include <QCoreApplication>
#include <QRandomGenerator>
#include <QtTest>

#include <algorithm>
#include <cmath>

namespace {

const int Cycles = 50;
const quint32 Seed = 20240611;
const double ShortestMs = 50;
const double LongestMs = 2000;

// Spread evenly on a log scale, so that short stays (pulled out before the
// program has seen the meter, or in the middle of the handshake) are as common
// as long ones, and the fifty cycles take about a minute.
int randomIntervalMs(QRandomGenerator &random)
{
    return int(ShortestMs * std::pow(LongestMs / ShortestMs, random.generateDouble()));
}

} // namespace

// The real program through many plug and unplug cycles at random moments: it
// must neither crash nor hang nor pile up open files or threads, and must still
// take the meter at the end.
class TestE2eHotplug : public QObject
{
    Q_OBJECT

public:
    explicit TestE2eHotplug(MeterBench &bench)
        : m_meter(bench.addMeter(QStringLiteral("E2E-HOTPLUG-01")))
    { }

private slots:
    void randomPlugCycles();
    void cleanup();

private:
    bool plugUntilPolled();

    SimulatedMeter *m_meter;
    ProgramUnderTest m_program;
    QStringList m_history;
};

// Long waits: after a pull in the middle of the handshake, the program may
// finish its five attempts on the old port before it takes the new one.
bool TestE2eHotplug::plugUntilPolled()
{
    return m_meter->plug()
        && QTest::qWaitFor([this] { return MeterRequests::isPolled(*m_meter->line(), 3); }, 30000);
}

// What a failed run leaves to go on: what the program holds open, how the
// cycles went and what the program said last.
void TestE2eHotplug::cleanup()
{
    if (!QTest::currentTestFailed())
        return;
    const QDir fds(QStringLiteral("/proc/%1/fd").arg(m_program->pid()));
    for (const QFileInfo &fd :
        fds.entryInfoList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot))
        qInfo("open: %s -> %s", qPrintable(fd.fileName()), qPrintable(fd.symLinkTarget()));
    qInfo("the cycles:\n%s", qPrintable(m_history.join('\n')));
    const QStringList log = m_program->logLines();
    qInfo("the program's last words:\n%s", qPrintable(log.mid(log.size() - 20).join('\n')));
}

void TestE2eHotplug::randomPlugCycles()
{
    QVERIFY2(MeterBench::inMockEnvironment(), "run under umockdev-wrapper");
    QVERIFY2(m_program.start(), qPrintable(m_program.errorString()));
    // One full cycle first, so that everything the program sets up once is in place.
    QVERIFY(plugUntilPolled());
    const int baselineFiles = m_program->openFileCount();
    const int baselineThreads = m_program->threadCount();
    m_meter->unplug();
    QTRY_VERIFY_WITH_TIMEOUT(!m_meter->line()->isLineOpen(), 10000);

    QRandomGenerator random(Seed);
    QVector<int> files;
    QVector<int> threads;
    int pulledWhileHandshaking = 0;
    for (int cycle = 0; cycle < Cycles; ++cycle) {
        QVERIFY2(m_meter->plug(), qPrintable(m_meter->errorString()));
        // The random timing is the stimulus here; nothing is waited for.
        const int plugged = randomIntervalMs(random);
        QTest::qWait(plugged);
        const MeterSimulator &line = *m_meter->line();
        pulledWhileHandshaking += !MeterRequests::isPolled(line, 1)
            && (!line.requests().isEmpty() || line.isLineOpen() || line.lineCloseCount() > 0);
        m_meter->unplug();
        files << m_program->openFileCount();
        threads << m_program->threadCount();
        const int unplugged = randomIntervalMs(random);
        m_history << QStringLiteral("%1: %2 in for %3 ms (%4 requests), out for %5 ms, %6/%7")
                         .arg(cycle)
                         .arg(m_meter->portName())
                         .arg(plugged)
                         .arg(line.requests().size())
                         .arg(unplugged)
                         .arg(files.last())
                         .arg(threads.last());
        QTest::qWait(unplugged);
        QVERIFY2(
            m_program->isRunning(), qPrintable(QStringLiteral("ended in cycle %1").arg(cycle)));
    }

    QVERIFY(pulledWhileHandshaking > 0);
    QVERIFY(plugUntilPolled());
    QVERIFY(m_program->isRunning());
    QVERIFY(m_program->openFileCount() <= baselineFiles);
    QVERIFY(m_program->threadCount() <= baselineThreads);
    // A leak of even one file or thread every few cycles lifts the last cycles
    // clear above the first; a one-off moment of scanning the ports does not.
    for (const QVector<int> *counts : {&files, &threads}) {
        const QVector<int> last = counts->mid(Cycles - 10);
        QVERIFY(*std::min_element(last.begin(), last.end())
            <= *std::max_element(counts->begin(), counts->begin() + 10));
    }
}

int main(int argc, char *argv[])
{
    // The emulated USB bus has to exist before the application object.
    MeterBench bench(firstTtyNumberOfThisProcess());
    QCoreApplication app(argc, argv);
    TestE2eHotplug test(bench);
    return QTest::qExec(&test, argc, argv);
}

#include "tst_e2e_hotplug.moc"
