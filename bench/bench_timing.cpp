// SPDX-License-Identifier: GPL-3.0-or-later
// Two figures of the road a measurement takes, each beside its baseline in the same run:
//
// - stall: the measurements of a 3-s stretch in which this (the GUI) thread is blocked, beside
//   those of a 3-s stretch in which it is not, from the real device over a pseudo-terminal to
//   the simulated meter. The difference is what a stall loses (goal 0).
// - save: a day of history (864,000 measurements) as a CSV recording the way "保存" writes it,
//   beside the way it was written before (a flushed row at a time, the local offset looked up
//   for each row). Goal under 2 s.
//
//   bench_timing [--rounds n, default 2]

#include "commoncurrentusbdevice.h"
#include "historyexport.h"
#include "metersimulator.h"
#include "processfigures.h"
#include "recordwriter.h"
#include "runtotals.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QThread>

#include <cstdio>

namespace {

const qint64 StretchNs = 3000000000;

using ProcessFigures::runFor;

// Measurements stamped within [from, from + 3 s), counted once the thread has caught up.
int stretch(CommonCurrentUSBDevice &device, bool stall)
{
    int counted = 0;
    const qint64 from = Measurement::monotonicNow();
    const QMetaObject::Connection counting = QObject::connect(
        &device, &CommonCurrentUSBDevice::measured, [&counted, from](const Measurement &m) {
            counted += m.monotonicNs >= from && m.monotonicNs < from + StretchNs;
        });
    if (stall)
        QThread::msleep(3000);
    runFor(stall ? 500 : 3500);
    QObject::disconnect(counting);
    return counted;
}

void measureStall(int rounds)
{
    MeterSimulator meter;
    if (!meter.startOnPty()) {
        std::printf("stall: no pseudo-terminal: %s\n", qPrintable(meter.errorString()));
        return;
    }
    CommonCurrentUSBDevice device;
    bool online = false;
    QObject::connect(&device, &CommonCurrentUSBDevice::deviceOnline, [&online] { online = true; });
    device.openPort(meter.portName());
    runFor(20000, &device, &CommonCurrentUSBDevice::deviceOnline);
    if (!online) {
        std::printf("stall: the meter did not answer\n");
        return;
    }
    runFor(1000);
    for (int round = 1; round <= rounds; ++round) {
        const int free = stretch(device, false);
        const int stalled = stretch(device, true);
        std::printf(
            "stall round %d: %d measurements in 3 s unblocked, %d in 3 s blocked: %d lost\n", round,
            free, stalled, free - stalled);
        std::fflush(stdout);
    }
}

HistoryExport::Samples dayOfHistory()
{
    HistoryExport::Samples samples;
    samples.reserve(864000);
    for (int i = 0; i < 864000; ++i) {
        const float current = 0.1f + 0.05f * float(i % 600) / 600;
        samples.append({i / 10.0, 5.0f, current, 5.0f * current});
    }
    return samples;
}

// As "保存" wrote before: each row through the recording's writer, flushed, its time of day in
// local time converted for each row.
double saveRowByRow(
    const QString &fileName, const HistoryExport::Samples &samples, const QDateTime &start)
{
    QElapsedTimer clock;
    clock.start();
    RecordWriter writer;
    writer.open(fileName, RecordWriter::Csv);
    RunTotals totals;
    for (const MeasurementHistory::Sample &sample : samples) {
        const Measurement m {start.addMSecs(qRound64(sample.seconds * 1000)), sample.seconds,
            sample.voltage, sample.current, sample.power};
        totals.add(m);
        writer.write(m, totals.chargeMilliampereHours(), totals.energyMilliwattHours());
    }
    writer.close();
    return clock.elapsed() / 1000.0;
}

void measureSave(int rounds)
{
    QTemporaryDir folder;
    const HistoryExport::Samples samples = dayOfHistory();
    const QDateTime start = QDateTime::currentDateTime().addDays(-1);
    const std::atomic<bool> cancel {false};
    for (int round = 1; round <= rounds; ++round) {
        QElapsedTimer clock;
        clock.start();
        const HistoryExport::Result result = HistoryExport::writeCsv(
            folder.filePath("now.csv"), samples, start, cancel, [](int) {});
        const double now = clock.elapsed() / 1000.0;
        const double before = saveRowByRow(folder.filePath("before.csv"), samples, start);
        QFile a(folder.filePath("now.csv")), b(folder.filePath("before.csv"));
        const bool same = a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly)
            && a.readAll() == b.readAll();
        std::printf("save round %d: a day (%lld rows) in %.2f s, row by row as before %.2f s; "
                    "the two files %s\n",
            round, result.rows, now, before, same ? "identical" : "DIFFER");
        std::fflush(stdout);
    }
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    const QCommandLineOption rounds(QStringLiteral("rounds"), QStringLiteral("rounds"),
        QStringLiteral("n"), QStringLiteral("2"));
    parser.addOption(rounds);
    parser.process(app);
    const int n = qMax(1, parser.value(rounds).toInt());
    measureStall(n);
    measureSave(n);
    return 0;
}
