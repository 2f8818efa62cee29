// SPDX-License-Identifier: GPL-3.0-or-later
#include "historyexport.h"

#include "recordwriter.h"
#include "runtotals.h"

#include <QSaveFile>

#include <limits>

namespace HistoryExport {

namespace {

// Written in blocks of about this much, not a flush per row.
const int BlockBytes = 1 << 20;
const int RowsPerStep = 4096;

} // namespace

Samples snapshot(const MeasurementHistory &history)
{
    Samples samples;
    samples.reserve(int(history.size()));
    history.visit(history.firstSeconds(), std::numeric_limits<double>::max(),
        [&samples](const MeasurementHistory::Sample &sample) { samples.append(sample); });
    return samples;
}

Result writeCsv(const QString &fileName, const Samples &samples, const QDateTime &start,
    const std::atomic<bool> &cancel, const std::function<void(int)> &progress)
{
    Result result;
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly)) {
        result.reason = file.errorString();
        return result;
    }
    // The offset from UTC is the window's start's, looked up once: asking the time zone for
    // every row took most of a day's save.
    const int offset = start.offsetFromUtc();
    const qint64 startMs = start.toMSecsSinceEpoch();
    RunTotals totals;
    QByteArray block = RecordWriter::csvHeader().toUtf8() + '\n';
    block.reserve(BlockBytes + 4096);
    for (int i = 0; i < samples.size(); ++i) {
        const MeasurementHistory::Sample &sample = samples.at(i);
        if (i % RowsPerStep == 0) {
            if (cancel) {
                file.cancelWriting();
                result.cancelled = true;
                return result;
            }
            progress(int(qint64(i) * 100 / samples.size()));
        }
        if (sample.isGap())
            continue;
        Measurement measurement;
        measurement.time = QDateTime::fromMSecsSinceEpoch(
            startMs + qRound64(sample.seconds * 1000), Qt::OffsetFromUTC, offset);
        measurement.elapsedSeconds = sample.seconds;
        measurement.voltage = double(sample.voltage);
        measurement.current = double(sample.current);
        measurement.power = double(sample.power);
        totals.add(measurement);
        block += RecordWriter::line(RecordWriter::Csv, measurement, totals.chargeMilliampereHours(),
                     totals.energyMilliwattHours())
            + '\n';
        ++result.rows;
        if (block.size() >= BlockBytes) {
            file.write(block);
            block.clear();
        }
    }
    file.write(block);
    result.written = file.commit();
    if (!result.written)
        result.reason = file.errorString();
    progress(100);
    return result;
}

} // namespace HistoryExport
