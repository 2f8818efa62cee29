// SPDX-License-Identifier: GPL-3.0-or-later
// A long run of the real program against a simulated meter that misbehaves in
// every way it knows, switching at random: silence, late, split, doubled,
// corrupted and mislabelled replies, stray bytes and noise bursts on the line,
// unplugging and replugging, bursts of replugs. The program runs as its own
// process (the ammeter executable from a throw-away directory) under
// umockdev-wrapper, so its port monitor, device and worker are the real ones.
//
// At the end the meter behaves again, and the program must be online and
// polling, hold no more file descriptors or threads than after the warm-up, and
// have grown in memory by no more than the per-hour allowance.

#include "ammeterprocess.h"
#include "meterbench.h"
#include "processfigures.h"
#include "simulatedmeter.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPointF>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimer>
#include <QVector>

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {

using namespace ProcessFigures;

const int SampleEveryMs = 10000;
const int PollIntervalMs = 100;

struct Sample
{
    double resident = 0;
    int threads = 0;
    int fds = 0;
};

class Soak
{
public:
    Soak(MeterBench &bench, quint32 seed)
        : m_bench(bench)
        , m_meter(bench.addMeter(QStringLiteral("SOAK0001")))
        , m_random(seed)
    { }

    // The program runs from a copy, since it keeps Settings.ini beside itself.
    bool startProgram(const QString &program);
    bool plug();
    bool programRunning() const { return m_program.isRunning(); }
    QString exitDescription() const { return m_exit; }
    Sample sample() const;
    QStringList logTail(int lines) const { return m_program.logLines().mid(-lines); }
    void stopProgram() { m_program.stop(); }

    // Measurement requests a second over the given time; 0 without a meter.
    double pollRate(int ms);
    bool isPolling(int ms) { return qAbs(pollRate(ms) - 1000.0 / PollIntervalMs) < 2.5; }
    // Clears the faults, and replugs when the device gave up on a bad handshake.
    bool bringOnline();

    QString misbehave();

private:
    void setFaults(MeterSimulator::RequestKind kind, const MeterSimulator::Faults &faults);
    MeterSimulator::Faults randomFaults();
    QString describe(const MeterSimulator::Faults &faults) const;
    QByteArray noise();
    void writeNoise(const QByteArray &bytes);

    MeterBench &m_bench;
    SimulatedMeter *m_meter;
    QRandomGenerator m_random;
    QTemporaryDir m_dir;
    AmmeterProcess m_program;
    QString m_exit;
    MeterSimulator::Faults m_faults[2];
};

bool Soak::startProgram(const QString &program)
{
    const QString copy = m_dir.filePath(QStringLiteral("ammeter"));
    if (!m_dir.isValid() || !QFile::copy(program, copy))
        return false;
    QObject::connect(
        &m_program, &AmmeterProcess::finished, [this](int exitCode, QProcess::ExitStatus status) {
            m_exit = status == QProcess::CrashExit
                ? QStringLiteral("crashed")
                : QStringLiteral("exited with code %1").arg(exitCode);
        });
    return m_program.start(copy);
}

Sample Soak::sample() const
{
    return {residentBytes(m_program.pid()), m_program.threadCount(), m_program.openFileCount()};
}

bool Soak::plug()
{
    if (!m_meter->plug())
        return false;
    // Each plug is a fresh simulator: give it the faults of the moment.
    for (auto kind : {MeterSimulator::MeasurementRequest, MeterSimulator::CalibrationRequest})
        m_meter->line()->setFaults(kind, m_faults[kind]);
    // Noise is written from outside the simulator; it must never block.
    const int fd = m_bench.testbed().hostFd(QStringLiteral("/dev/") + m_meter->portName());
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
    return true;
}

void Soak::setFaults(MeterSimulator::RequestKind kind, const MeterSimulator::Faults &faults)
{
    m_faults[kind] = faults;
    if (m_meter->isPlugged())
        m_meter->line()->setFaults(kind, faults);
}

double Soak::pollRate(int ms)
{
    if (!m_meter->isPlugged())
        return 0;
    MeterSimulator *line = m_meter->line();
    const int before = line->requestCount(MeterSimulator::MeasurementRequest);
    runFor(ms);
    return (line->requestCount(MeterSimulator::MeasurementRequest) - before) * 1000.0 / ms;
}

bool Soak::bringOnline()
{
    setFaults(MeterSimulator::MeasurementRequest, {});
    setFaults(MeterSimulator::CalibrationRequest, {});
    if (m_meter->isPlugged() && isPolling(3000))
        return true;
    for (int attempt = 0; attempt < 3; ++attempt) {
        m_meter->unplug();
        runFor(500);
        if (!plug())
            return false;
        // Debounce, handshake and calibration take under a second when all goes well.
        runFor(3000);
        if (isPolling(3000))
            return true;
    }
    return false;
}

QString Soak::misbehave()
{
    const int dice = m_random.bounded(100);
    if (dice < 35) {
        setFaults(MeterSimulator::MeasurementRequest, randomFaults());
        return QStringLiteral("measurement replies: ")
            + describe(m_faults[MeterSimulator::MeasurementRequest]);
    }
    if (dice < 50) {
        setFaults(MeterSimulator::CalibrationRequest, randomFaults());
        return QStringLiteral("calibration replies: ")
            + describe(m_faults[MeterSimulator::CalibrationRequest]);
    }
    if (dice < 62) {
        setFaults(MeterSimulator::MeasurementRequest, {});
        setFaults(MeterSimulator::CalibrationRequest, {});
        return QStringLiteral("all faults cleared");
    }
    if (dice < 80) {
        m_meter->unplug();
        const int gapMs = m_random.bounded(600);
        runFor(gapMs);
        plug();
        return QStringLiteral("replugged after %1 ms").arg(gapMs);
    }
    if (dice < 86) {
        const int count = 2 + m_random.bounded(4);
        for (int i = 0; i < count; ++i) {
            m_meter->unplug();
            runFor(m_random.bounded(60));
            plug();
            runFor(m_random.bounded(60));
        }
        return QStringLiteral("%1 replugs in a burst").arg(count);
    }
    if (dice < 90) {
        m_meter->unplug();
        return QStringLiteral("unplugged");
    }
    if (!m_meter->isPlugged())
        plug();
    const QByteArray bytes = noise();
    writeNoise(bytes);
    return QStringLiteral("%1 bytes of noise").arg(bytes.size());
}

MeterSimulator::Faults Soak::randomFaults()
{
    auto chance = [this](int percent) { return int(m_random.bounded(100)) < percent; };
    MeterSimulator::Faults faults;
    faults.silent = chance(10);
    faults.replyDelayMs = chance(30) ? m_random.bounded(250) : 0;
    faults.junkBeforeHeader = chance(25);
    faults.splitFrame = chance(25);
    faults.twoFrames = chance(15);
    faults.badCrc = chance(25);
    faults.wrongCode = chance(10);
    faults.answerLimit = chance(10) ? m_random.bounded(20) : -1;
    return faults;
}

QString Soak::describe(const MeterSimulator::Faults &faults) const
{
    QStringList parts;
    if (faults.silent)
        parts << QStringLiteral("silent");
    if (faults.replyDelayMs > 0)
        parts << QStringLiteral("%1 ms late").arg(faults.replyDelayMs);
    if (faults.junkBeforeHeader)
        parts << QStringLiteral("junk first");
    if (faults.splitFrame)
        parts << QStringLiteral("split");
    if (faults.twoFrames)
        parts << QStringLiteral("doubled");
    if (faults.badCrc)
        parts << QStringLiteral("bad CRC");
    if (faults.wrongCode)
        parts << QStringLiteral("wrong code");
    if (faults.answerLimit >= 0)
        parts << QStringLiteral("only %1 more").arg(faults.answerLimit);
    return parts.isEmpty() ? QStringLiteral("none") : parts.join(QStringLiteral(", "));
}

// Random bytes, with now and then the meter's header among them, so that the
// decoder also meets frames that start right and go wrong.
QByteArray Soak::noise()
{
    QByteArray bytes(1 + m_random.bounded(4096), '\0');
    for (char &byte : bytes)
        byte = char(m_random.bounded(256));
    for (int i = 0; i + 2 < bytes.size(); i += 1 + m_random.bounded(40)) {
        bytes[i] = '\x57';
        bytes[i + 1] = '\xAB';
        bytes[i + 2] = m_random.bounded(2) ? '\x83' : '\x82';
    }
    return bytes;
}

void Soak::writeNoise(const QByteArray &bytes)
{
    const int fd = m_bench.testbed().hostFd(QStringLiteral("/dev/") + m_meter->portName());
    if (::write(fd, bytes.constData(), size_t(bytes.size())) < 0) {
        // A full line: noise that was never sent.
    }
}

QString minutesAndSeconds(qint64 ms)
{
    return QStringLiteral("%1:%2")
        .arg(ms / 60000, 3, 10, QLatin1Char('0'))
        .arg(ms / 1000 % 60, 2, 10, QLatin1Char('0'));
}

// Bytes per hour, fitted over the last two thirds of the trace (x: ms, y:
// bytes): the first third still holds the program settling in, the fonts and
// caches of pages drawn for the first time.
double steadyGrowth(const QVector<QPointF> &trace)
{
    if (trace.size() < 3)
        return 0;
    const QVector<QPointF> tail = trace.mid(trace.size() / 3);
    double mx = 0, my = 0;
    for (const QPointF &p : tail) {
        mx += p.x();
        my += p.y();
    }
    mx /= tail.size();
    my /= tail.size();
    double sxy = 0, sxx = 0;
    for (const QPointF &p : tail) {
        sxy += (p.x() - mx) * (p.y() - my);
        sxx += (p.x() - mx) * (p.x() - mx);
    }
    return sxx > 0 ? sxy / sxx * 3.6e6 : 0;
}

void printSample(qint64 ms, const Sample &sample, const QString &note)
{
    std::printf("[%s] resident %6.1f MB, threads %2d, fds %3d  %s\n",
        qPrintable(minutesAndSeconds(ms)), sample.resident / MB, sample.threads, sample.fds,
        qPrintable(note));
    std::fflush(stdout);
}

} // namespace

int main(int argc, char *argv[])
{
    // The emulated /sys and /dev must exist before anything looks for ports.
    MeterBench bench;
    if (!MeterBench::inMockEnvironment()) {
        std::fprintf(stderr, "bench_soak: run me under umockdev-wrapper (scripts/soak does)\n");
        return 2;
    }
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addOptions({
        {"minutes", "How long to run.", "minutes", "30"},
        {"program", "The ammeter executable.", "path", QStringLiteral(AMMETER_PROGRAM)},
        {"max-mb-per-hour", "Allowed growth of the resident size.", "MB", "5"},
        {"seed", "Seed of the random faults (default: a fresh one).", "n"},
    });
    parser.process(app);
    const qint64 durationMs = qint64(qMax(1.0, parser.value("minutes").toDouble()) * 60000);
    const double allowedMbPerHour = parser.value("max-mb-per-hour").toDouble();
    const quint32 seed = parser.isSet("seed") ? parser.value("seed").toUInt()
                                              : QRandomGenerator::global()->generate();
    // Long enough for the first allocations (fonts, caches, the first pages drawn) to be over.
    const qint64 warmUpMs = qBound(qint64(20000), durationMs / 15, qint64(120000));

    Soak soak(bench, seed);
    if (!soak.plug() || !soak.startProgram(parser.value("program"))) {
        std::fprintf(stderr, "bench_soak: cannot emulate the meter or start %s\n",
            qPrintable(parser.value("program")));
        return 2;
    }
    std::printf("bench_soak: %s for %.1f minutes, seed %u\n", qPrintable(parser.value("program")),
        durationMs / 60000.0, seed);

    QElapsedTimer clock;
    clock.start();
    runFor(int(warmUpMs));
    if (!soak.bringOnline()) {
        std::fprintf(stderr, "bench_soak: the program never came online\n");
        return 1;
    }
    const Sample baseline = soak.sample();
    const qint64 baselineMs = clock.elapsed();
    printSample(baselineMs, baseline, QStringLiteral("baseline, online and polling"));

    QRandomGenerator pause(seed ^ 0x5eed);
    qint64 nextSampleMs = baselineMs + SampleEveryMs;
    int actions = 0;
    QVector<QPointF> residentTrace;
    const qint64 chaosEndMs = durationMs - 15000;
    while (clock.elapsed() < chaosEndMs && soak.programRunning()) {
        const QString action = soak.misbehave();
        ++actions;
        runFor(500 + pause.bounded(5000));
        if (clock.elapsed() >= nextSampleMs) {
            const Sample sample = soak.sample();
            residentTrace.append({double(clock.elapsed()), sample.resident});
            printSample(clock.elapsed(), sample, action);
            nextSampleMs += SampleEveryMs;
        }
    }
    if (!soak.programRunning()) {
        std::printf("FAILED: the program %s after %s; the end of its log:\n%s\n",
            qPrintable(soak.exitDescription()), qPrintable(minutesAndSeconds(clock.elapsed())),
            qPrintable(soak.logTail(30).join('\n')));
        return 1;
    }

    const bool online = soak.bringOnline();
    const double rate = soak.pollRate(3000);
    const Sample last = soak.sample();
    residentTrace.append({double(clock.elapsed()), last.resident});
    const double hours = (clock.elapsed() - baselineMs) / 3.6e6;
    const double totalMbPerHour = (last.resident - baseline.resident) / MB / hours;
    const double growthMbPerHour = steadyGrowth(residentTrace) / MB;
    printSample(clock.elapsed(), last, QStringLiteral("end, the meter behaving again"));
    soak.stopProgram();

    const bool memoryOk = growthMbPerHour <= allowedMbPerHour;
    const bool fdsOk = last.fds <= baseline.fds;
    const bool threadsOk = last.threads <= baseline.threads;
    std::printf("%d misbehaviours in %.1f minutes\n", actions, clock.elapsed() / 60000.0);
    std::printf("online and polling at the end: %s (%.1f requests a second)\n",
        online ? "yes" : "NO", rate);
    std::printf("resident %.1f MB -> %.1f MB (%.2f MB per hour overall); over the last two thirds "
                "%.2f MB per hour (allowed %.2f): %s\n",
        baseline.resident / MB, last.resident / MB, totalMbPerHour, growthMbPerHour,
        allowedMbPerHour, memoryOk ? "ok" : "TOO MUCH");
    std::printf("file descriptors %d -> %d: %s\n", baseline.fds, last.fds, fdsOk ? "ok" : "LEAKED");
    std::printf(
        "threads %d -> %d: %s\n", baseline.threads, last.threads, threadsOk ? "ok" : "LEAKED");
    std::printf("RESULT\tsoak.minutes\t%.1f\tmin\n", clock.elapsed() / 60000.0);
    std::printf("RESULT\tsoak.growth\t%.2f\tMB/h\n", growthMbPerHour);
    std::printf("RESULT\tsoak.fds\t%d -> %d\tfds\n", baseline.fds, last.fds);
    std::printf("RESULT\tsoak.threads\t%d -> %d\tthreads\n", baseline.threads, last.threads);
    const bool passed = online && memoryOk && fdsOk && threadsOk;
    std::printf("soak %s\n", passed ? "passed" : "FAILED");
    return passed ? 0 : 1;
}
