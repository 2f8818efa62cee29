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

const double MB = 1024.0 * 1024.0;
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

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addOption({"seconds", "How long to measure, after a 30 s warm-up.", "s", "600"});
    parser.process(app);
    const int measureMs = qMax(20, parser.value("seconds").toInt()) * 1000;

    MeterSimulator meter;
    QTemporaryDir dir;
    if (!meter.startOnPty() || !dir.isValid()) {
        std::fprintf(
            stderr, "bench_logger: no pseudo-terminal: %s\n", qPrintable(meter.errorString()));
        return 1;
    }
    const QString recording = dir.filePath(QStringLiteral("run.csv"));
    QProcess logger;
    logger.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    logger.start(QStringLiteral(AMMETER_LOG), {"--port", meter.portName(), "-o", recording});
    if (!logger.waitForStarted()) {
        std::fprintf(stderr, "bench_logger: cannot start %s\n", AMMETER_LOG);
        return 1;
    }
    const qint64 pid = logger.processId();
    runFor(WarmUpMs);

    QElapsedTimer clock;
    clock.start();
    QVector<Sample> samples;
    for (;;) {
        samples.append(
            {clock.elapsed() / 1000.0, cpuSeconds(pid), residentBytes(pid), lineCount(recording)});
        if (clock.elapsed() >= measureMs)
            break;
        runFor(SampleMs);
    }
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

    std::printf("bench_logger: ammeter-log recording to a file for %.0f s after a %d s warm-up, "
                "%.2f measurements a second\n",
        seconds, WarmUpMs / 1000, measurements / seconds);
    std::printf("cpu %.3f %% of a core (goal: under 1 %%)\n", cpu);
    std::printf("resident %.1f MB at the start, %.1f MB at the end, %.1f MB at most (goal: under "
                "40 MB)\n",
        samples.first().residentBytes / MB, samples.last().residentBytes / MB, peak / MB);
    std::printf("growth %.3f MB per hour (goal: flat)\n", growth / MB);
    std::printf("RESULT\tlogger.cpu\t%.3f\t%%\n", cpu);
    std::printf("RESULT\tlogger.resident\t%.1f\tMB\n", peak / MB);
    std::printf("RESULT\tlogger.resident.perhour\t%.3f\tMB\n", growth / MB);
    return logger.exitCode();
}
