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

// What the program had done with the meter's port by the time it was pulled out.
enum Stage { NotOpened, Handshaking, Polling };

Stage stageOf(const MeterSimulator &line)
{
    if (MeterRequests::isPolled(line, 1))
        return Polling;
    return line.requests().isEmpty() && line.lineCloseCount() == 0 && !line.isLineOpen()
        ? NotOpened
        : Handshaking;
}

struct Sample
{
    int files = 0;
    int threads = 0;
};

int maxOf(const QVector<Sample> &samples, int Sample::*field)
{
    int most = 0;
    for (const Sample &sample : samples)
        most = std::max(most, sample.*field);
    return most;
}

int minOf(const QVector<Sample> &samples, int Sample::*field)
{
    int least = INT_MAX;
    for (const Sample &sample : samples)
        least = std::min(least, sample.*field);
    return least;
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
    void initTestCase();
    void randomPlugCycles();
    void cleanup();

private:
    Sample sample();
    QStringList openFiles();
    bool plugUntilPolled();
    void stayFor(int ms);

    SimulatedMeter *m_meter;
    ProgramUnderTest m_program;
    QStringList m_history;
};

Sample TestE2eHotplug::sample()
{
    return {m_program->openFileCount(), m_program->threadCount()};
}

QStringList TestE2eHotplug::openFiles()
{
    QStringList files;
    const QDir fds(QStringLiteral("/proc/%1/fd").arg(m_program->pid()));
    for (const QFileInfo &fd :
        fds.entryInfoList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot))
        files << fd.fileName() + QStringLiteral(" -> ") + fd.symLinkTarget();
    return files;
}

// Long waits: after a pull in the middle of the handshake, the program may
// finish its five attempts on the old port before it takes the new one.
bool TestE2eHotplug::plugUntilPolled()
{
    if (!m_meter->plug())
        return false;
    return QTest::qWaitFor([this] { return MeterRequests::isPolled(*m_meter->line(), 3); }, 30000);
}

void TestE2eHotplug::stayFor(int ms)
{
    // The random timing is the stimulus here; nothing is waited for.
    QTest::qWait(ms);
}

void TestE2eHotplug::initTestCase()
{
    QVERIFY2(MeterBench::inMockEnvironment(), "run under umockdev-wrapper");
    QVERIFY2(m_program.start(), qPrintable(m_program.errorString()));
}

// What a failed run leaves to go on: the meter's last line, what the program
// holds open, how the cycles went and what the program said last.
void TestE2eHotplug::cleanup()
{
    if (!QTest::currentTestFailed())
        return;
    if (const MeterSimulator *line = m_meter->line())
        qInfo("%s: open %d, closed %d times, %d requests", qPrintable(m_meter->portName()),
            line->isLineOpen(), line->lineCloseCount(), line->requests().size());
    qInfo("the program's open files:\n%s", qPrintable(openFiles().join('\n')));
    qInfo("the cycles:\n%s", qPrintable(m_history.join('\n')));
    const QStringList log = m_program->logLines();
    qInfo("the program's last words:\n%s", qPrintable(log.mid(log.size() - 20).join('\n')));
}

void TestE2eHotplug::randomPlugCycles()
{
    // One full cycle first, so that everything the program sets up once is in place.
    QVERIFY(plugUntilPolled());
    const Sample baseline = sample();
    qInfo("online at the start: %d open files, %d threads", baseline.files, baseline.threads);
    m_meter->unplug();
    QTRY_VERIFY_WITH_TIMEOUT(!m_meter->line()->isLineOpen(), 10000);

    QRandomGenerator random(Seed);
    QVector<Sample> samples;
    int stages[3] = {};
    for (int cycle = 0; cycle < Cycles; ++cycle) {
        QVERIFY2(m_meter->plug(), qPrintable(m_meter->errorString()));
        const int plugged = randomIntervalMs(random);
        stayFor(plugged);
        const Stage stage = stageOf(*m_meter->line());
        ++stages[stage];
        m_meter->unplug();
        samples << sample();
        const int unplugged = randomIntervalMs(random);
        m_history << QStringLiteral("%1: %2 in for %3 ms (%4 requests, stage %5), out for %6 ms")
                         .arg(cycle)
                         .arg(m_meter->portName())
                         .arg(plugged)
                         .arg(m_meter->line()->requests().size())
                         .arg(stage)
                         .arg(unplugged);
        stayFor(unplugged);
        QVERIFY2(
            m_program->isRunning(), qPrintable(QStringLiteral("ended in cycle %1").arg(cycle)));
    }
    qInfo("pulled out %d times before the program opened the port, %d times while it "
          "was opening or handshaking, %d times while it polled",
        stages[NotOpened], stages[Handshaking], stages[Polling]);
    QString trend;
    for (const Sample &each : samples)
        trend += QStringLiteral(" %1/%2").arg(each.files).arg(each.threads);
    qInfo("open files/threads at each unplug:%s", qPrintable(trend));

    QVERIFY(stages[Handshaking] > 0);
    QVERIFY(plugUntilPolled());
    QVERIFY(m_program->isRunning());
    const Sample end = sample();
    qInfo("online at the end: %d open files, %d threads", end.files, end.threads);
    QVERIFY(end.files <= baseline.files);
    QVERIFY(end.threads <= baseline.threads);
    // A leak of even one file or thread every few cycles lifts the last cycles
    // clear above the first; a one-off moment of scanning the ports does not.
    const QVector<Sample> first = samples.mid(0, 10);
    const QVector<Sample> last = samples.mid(samples.size() - 10);
    QVERIFY(minOf(last, &Sample::files) <= maxOf(first, &Sample::files));
    QVERIFY(minOf(last, &Sample::threads) <= maxOf(first, &Sample::threads));
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
