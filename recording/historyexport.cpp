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

void appendDigits(QByteArray &out, qint64 value, int width)
{
    char digits[20];
    int n = 0;
    do {
        digits[n++] = char('0' + value % 10);
        value /= 10;
    } while (value > 0 || n < width);
    while (n > 0)
        out += digits[--n];
}

// As QByteArray::number(value, 'f', decimals) writes it, without its general formatting, which
// took most of a day's save. Rounding through the scaled value can differ from it only where a
// value lies within a rounding error of a half in its last decimal.
void appendFixed(QByteArray &out, double value, int decimals)
{
    static const double scales[] = {1, 10, 100, 1e3, 1e4, 1e5, 1e6};
    qint64 scaled = qRound64(value * scales[decimals]);
    if (scaled < 0) {
        out += '-';
        scaled = -scaled;
    }
    const qint64 unit = qint64(scales[decimals]);
    appendDigits(out, scaled / unit, 1);
    out += '.';
    appendDigits(out, scaled % unit, decimals);
}

// A recording's CSV row, as RecordWriter::line() writes it, with the time of day from a fixed
// offset and the date written once a day.
class RowFormatter
{
public:
    explicit RowFormatter(const QDateTime &start)
        : m_startMs(start.toMSecsSinceEpoch())
        , m_offsetMs(qint64(start.offsetFromUtc()) * 1000)
        , m_zone(
              start.toOffsetFromUtc(start.offsetFromUtc()).toString(Qt::ISODate).mid(19).toUtf8())
    { }

    void append(QByteArray &out, const Measurement &m, double chargeMah, double energyMwh)
    {
        const qint64 localMs = m_startMs + qRound64(m.elapsedSeconds * 1000) + m_offsetMs;
        const qint64 day = localMs >= 0 ? localMs / 86400000 : (localMs - 86399999) / 86400000;
        if (day != m_day) {
            m_day = day;
            m_date = QDate(1970, 1, 1).addDays(day).toString(Qt::ISODate).toUtf8() + 'T';
        }
        const qint64 ms = localMs - day * 86400000;
        out += m_date;
        appendDigits(out, ms / 3600000, 2);
        out += ':';
        appendDigits(out, ms / 60000 % 60, 2);
        out += ':';
        appendDigits(out, ms / 1000 % 60, 2);
        out += '.';
        appendDigits(out, ms % 1000, 3);
        out += m_zone;
        const double values[] = {m.voltage, m.current, m.power, chargeMah, energyMwh};
        out += ',';
        appendFixed(out, m.elapsedSeconds, 3);
        for (const double value : values) {
            out += ',';
            appendFixed(out, value, 6);
        }
        out += '\n';
    }

private:
    const qint64 m_startMs;
    const qint64 m_offsetMs;
    const QByteArray m_zone;
    qint64 m_day = std::numeric_limits<qint64>::min();
    QByteArray m_date;
};

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
    RowFormatter formatter(start);
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
        measurement.elapsedSeconds = sample.seconds;
        measurement.voltage = double(sample.voltage);
        measurement.current = double(sample.current);
        measurement.power = double(sample.power);
        totals.add(measurement);
        formatter.append(
            block, measurement, totals.chargeMilliampereHours(), totals.energyMilliwattHours());
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
