// SPDX-License-Identifier: GPL-3.0-or-later
#include "metersimulator.h"
#include "processfigures.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>

namespace {

using namespace ProcessFigures;

const int SampleMs = 10000;
// Start-up and the first allocations of the run are not what runs for days.
const int WarmUpMs = 30000;

struct Sample
{
    double wallSeconds = 0;
    double cpuSeconds = 0;
    double residentBytes = 0;
    qint64 lines = 0;
};

qint64 lineCount(const QString &fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll().count('\n') : 0;
}

// Stop conditions that are checked at every row and never reached: what arming them costs.
const QStringList ArmedConditions {"--stop-below-voltage", "0.001", "--stop-below-current", "0",
    "--stop-at-charge", "1e9", "--stop-at-energy", "1e9"};

// One ammeter-log on a simulated meter of its own, sampled as it records.
struct Recorder
{
    QString name;
    MeterSimulator meter;
    QString recording;
    QProcess logger;
    qint64 pid = 0;
    QVector<Sample> samples;

    bool start(const QTemporaryDir &dir, const QStringList &extra)
    {
        if (!meter.startOnPty()) {
            std::fprintf(
                stderr, "bench_logger: no pseudo-terminal: %s\n", qPrintable(meter.errorString()));
            return false;
        }
        recording = dir.filePath(name + QStringLiteral(".csv"));
        logger.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        logger.start(QStringLiteral(AMMETER_LOG),
            QStringList {"--port", meter.portName(), "-o", recording} + extra);
        if (!logger.waitForStarted()) {
            std::fprintf(stderr, "bench_logger: cannot start %s\n", AMMETER_LOG);
            return false;
        }
        pid = logger.processId();
        return true;
    }

    void sample(double wallSeconds)
    {
        samples.append({wallSeconds, cpuSeconds(pid), residentBytes(pid), lineCount(recording)});
    }

    int report()
    {
        const double seconds = samples.last().wallSeconds - samples.first().wallSeconds;
        const double measurements = double(samples.last().lines - samples.first().lines);
        const double cpu = (samples.last().cpuSeconds - samples.first().cpuSeconds) / seconds * 100;
        double peak = 0;
        for (const Sample &sample : qAsConst(samples))
            peak = qMax(peak, sample.residentBytes);
        const double growth
            = (samples.last().residentBytes - samples.first().residentBytes) / seconds * 3600;
        logger.terminate();
        logger.waitForFinished();
        // The baseline keeps the figures' old names, so earlier results still compare.
        const QByteArray suffix = name == QLatin1String("baseline") ? "" : "." + name.toUtf8();
        std::printf("bench_logger %s: ammeter-log recording to a file for %.0f s after a %d s "
                    "warm-up, %.2f measurements a second\n",
            qPrintable(name), seconds, WarmUpMs / 1000, measurements / seconds);
        std::printf("cpu %.3f %% of a core (goal: under 1 %%)\n", cpu);
        std::printf("resident %.1f MB at the start, %.1f MB at the end, %.1f MB at most (goal: "
                    "under 40 MB)\n",
            samples.first().residentBytes / MB, samples.last().residentBytes / MB, peak / MB);
        std::printf("growth %.3f MB per hour (goal: flat)\n", growth / MB);
        std::printf("RESULT\tlogger.cpu%s\t%.3f\t%%\n", suffix.constData(), cpu);
        std::printf("RESULT\tlogger.resident%s\t%.1f\tMB\n", suffix.constData(), peak / MB);
        std::printf(
            "RESULT\tlogger.resident.perhour%s\t%.3f\tMB\n", suffix.constData(), growth / MB);
        return logger.exitCode();
    }
};

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addOption({"seconds", "How long to measure, after a 30 s warm-up.", "s", "600"});
    parser.process(app);
    const int measureMs = qMax(20, parser.value("seconds").toInt()) * 1000;

    // The baseline and the recorder with every stop condition armed run side by side, so that
    // both meet the same load of the machine.
    QTemporaryDir dir;
    Recorder baseline, armed;
    baseline.name = QStringLiteral("baseline");
    armed.name = QStringLiteral("armed");
    if (!dir.isValid() || !baseline.start(dir, {}) || !armed.start(dir, ArmedConditions))
        return 1;
    runFor(WarmUpMs);

    QElapsedTimer clock;
    clock.start();
    for (;;) {
        for (Recorder *recorder : {&baseline, &armed})
            recorder->sample(clock.elapsed() / 1000.0);
        if (clock.elapsed() >= measureMs)
            break;
        runFor(SampleMs);
    }
    const int status = baseline.report();
    return armed.report() != 0 ? 1 : status;
}
