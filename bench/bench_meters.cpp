// SPDX-License-Identifier: GPL-3.0-or-later
// Several meters on one emulated USB bus, recorded by one ammeter-log --all: the CPU and the
// resident memory each meter costs with one, two and four meters, beside the one-meter
// recorder without --all as the baseline of the same run. Run under umockdev-wrapper.

#include "loadprofile.h"
#include "meterbench.h"
#include "processfigures.h"
#include "simulatedmeter.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>

namespace {

using namespace ProcessFigures;

// Start-up, the handshakes and the first allocations are not what runs for days.
const int WarmUpMs = 10000;

struct Figures
{
    double cpuPercent = 0;
    double residentBytes = 0;
    double rowsPerSecond = 0;
};

qint64 rowsIn(const QString &folder)
{
    qint64 rows = 0;
    for (const QFileInfo &file : QDir(folder).entryInfoList({"*.csv"}, QDir::Files)) {
        QFile csv(file.filePath());
        if (csv.open(QIODevice::ReadOnly))
            rows += csv.readAll().count('\n') - 1;
    }
    return rows;
}

Figures measure(const QList<SimulatedMeter *> &meters, bool all, int measureMs)
{
    QTemporaryDir dir;
    for (SimulatedMeter *meter : meters)
        meter->plug();
    QProcess logger;
    logger.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    const QString output = dir.filePath(QStringLiteral("run.csv"));
    logger.start(QStringLiteral(AMMETER_LOG),
        all ? QStringList {"--all", "-o", output} : QStringList {"-o", output});
    Figures figures;
    if (!logger.waitForStarted())
        return figures;
    const qint64 pid = logger.processId();
    runFor(WarmUpMs);
    const qint64 rowsBefore = rowsIn(dir.path());
    QElapsedTimer clock;
    clock.start();
    figures.cpuPercent = cpuPercentOver(pid, measureMs);
    const double seconds = clock.elapsed() / 1000.0;
    figures.residentBytes = residentBytes(pid);
    figures.rowsPerSecond = (rowsIn(dir.path()) - rowsBefore) / seconds;
    logger.terminate();
    logger.waitForFinished();
    for (SimulatedMeter *meter : meters)
        meter->unplug();
    return figures;
}

} // namespace

int main(int argc, char *argv[])
{
    // The emulated USB bus has to exist before the application object.
    // Away from the ttyACM numbers the tests' processes take in the machine's real /var/lock.
    MeterBench bench(50 + int(QCoreApplication::applicationPid() % 10000) * 100);
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addOption({"seconds", "How long to measure each case, after a warm-up.", "s", "30"});
    parser.process(app);
    if (!MeterBench::inMockEnvironment()) {
        std::fprintf(stderr, "bench_meters: run under umockdev-wrapper\n");
        return 1;
    }
    const int measureMs = qMax(5, parser.value("seconds").toInt()) * 1000;
    QList<SimulatedMeter *> meters;
    for (const char *serial : {"MTRA0001", "MTRB0002", "MTRC0003", "MTRD0004"}) {
        meters << bench.addMeter(QLatin1String(serial));
        meters.constLast()->setProfile(LoadProfile::constant(5.0, 0.1 * meters.size(), 0.5));
    }
    std::printf("bench_meters: ammeter-log, each case %d s after a %d s warm-up, twice\n",
        measureMs / 1000, WarmUpMs / 1000);
    for (int round = 1; round <= 2; ++round) {
        const Figures baseline = measure(meters.mid(0, 1), false, measureMs);
        std::printf("round %d  one meter without --all: cpu %.2f %% of a core, resident %.1f MB, "
                    "%.1f rows a second\n",
            round, baseline.cpuPercent, baseline.residentBytes / MB, baseline.rowsPerSecond);
        for (int count : {1, 2, 4}) {
            const Figures figures = measure(meters.mid(0, count), true, measureMs);
            std::printf("round %d  %d meter(s) with --all: cpu %.2f %% (%.2f %% a meter), "
                        "resident %.1f MB (%+.1f MB beside the baseline, %+.1f MB for each meter "
                        "beyond the first), %.1f rows a second (%.1f a meter)\n",
                round, count, figures.cpuPercent, figures.cpuPercent / count,
                figures.residentBytes / MB, (figures.residentBytes - baseline.residentBytes) / MB,
                (figures.residentBytes - baseline.residentBytes) / MB / qMax(1, count - 1),
                figures.rowsPerSecond, figures.rowsPerSecond / count);
            std::printf(
                "RESULT\tmeters.%d.cpu.permeter\t%.3f\t%%\n", count, figures.cpuPercent / count);
            std::printf(
                "RESULT\tmeters.%d.resident\t%.1f\tMB\n", count, figures.residentBytes / MB);
        }
    }
    return 0;
}
