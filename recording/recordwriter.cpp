// SPDX-License-Identifier: GPL-3.0-or-later
#include "recordwriter.h"

#include "disksync.h"
#include "rowparser.h"
#include "runsummarycache.h"
#include "summarypiece.h"
#include "tornrow.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>

#include <cstdio>

namespace {

const int SyncEveryMs = 5000;

// The meter sends micro-units.
QByteArray number(double value, int decimals = 6)
{
    return QByteArray::number(value, 'f', decimals);
}

QByteArray isoTime(const QDateTime &time)
{
    return time.toOffsetFromUtc(time.offsetFromUtc()).toString(Qt::ISODateWithMs).toUtf8();
}

} // namespace

RecordWriter::RecordWriter() = default;

RecordWriter::~RecordWriter()
{
    if (isOpen())
        close();
}

QString RecordWriter::csvHeader()
{
    return QStringLiteral("time,elapsed_s,voltage_V,current_A,power_W,charge_mAh,energy_mWh");
}

bool RecordWriter::open(const QString &fileName, Format format, bool append)
{
    m_format = format;
    if (fileName.isEmpty()) {
        if (!m_file.open(stdout, QIODevice::WriteOnly))
            return fail(QStringLiteral("cannot write to standard output"));
    } else if (!openFile(fileName, append)) {
        return false;
    }
    return begin(format);
}

bool RecordWriter::openNew(const QString &fileName, Format format)
{
    m_format = format;
    m_file.setFileName(fileName);
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return fail(QStringLiteral("cannot write %1: %2").arg(fileName, m_file.errorString()));
    return begin(format);
}

bool RecordWriter::begin(Format format)
{
    m_sinceSync.start();
    m_summary.reset();
    if (!m_file.fileName().isEmpty() && m_file.size() == 0)
        m_summary = std::make_unique<SummaryPiece>();
    if (format == Csv && m_file.size() == 0)
        return writeLine(csvHeader().toUtf8());
    return true;
}

bool RecordWriter::openFile(const QString &fileName, bool append)
{
    m_file.setFileName(fileName);
    if (append && m_format == Csv && QFileInfo(fileName).isFile() && m_file.size() > 0) {
        if (!m_file.open(QIODevice::ReadOnly))
            return fail(QStringLiteral("cannot read %1: %2").arg(fileName, m_file.errorString()));
        const QByteArray firstLine = m_file.readLine().trimmed();
        m_file.close();
        if (firstLine != csvHeader().toUtf8())
            return fail(QStringLiteral("%1 is not a CSV recording of ammeter-log: its first line "
                                       "is not the header %2")
                            .arg(fileName, csvHeader()));
    }
    if (append && QFileInfo(fileName).isFile() && !TornRow::cut(fileName, &m_errorString))
        return false;
    const QIODevice::OpenMode mode
        = QIODevice::WriteOnly | (append ? QIODevice::Append : QIODevice::Truncate);
    if (!m_file.open(mode))
        return fail(QStringLiteral("cannot write %1: %2").arg(fileName, m_file.errorString()));
    return true;
}

bool RecordWriter::write(const Measurement &measurement, double chargeMah, double energyMwh)
{
    QByteArray row = line(m_format, measurement, chargeMah, energyMwh);
    if (m_format == Jsonl && !m_meterField.isEmpty())
        row = m_meterField + row.mid(1);
    const qint64 offset = m_file.pos();
    if (!writeLine(row))
        return false;
    // From the line as written, as a reading of the file would take it.
    RowParser::Values values;
    const char *end = row.constData() + row.size();
    if (m_summary && RowParser::parse(row.constData(), end, values) == RowParser::Row)
        m_summary->add(offset, values, row.constData(), end);
    else
        m_summary.reset(); // a summary missing a row would misplace every one after it
    return true;
}

void RecordWriter::setMeter(const QString &meter)
{
    const QByteArray array = QJsonDocument(QJsonArray {meter}).toJson(QJsonDocument::Compact);
    m_meterField = "{\"meter\":" + array.mid(1, array.size() - 2) + ',';
}

QByteArray RecordWriter::line(
    Format format, const Measurement &measurement, double chargeMah, double energyMwh)
{
    const QByteArray values[] = {isoTime(measurement.time), number(measurement.elapsedSeconds, 3),
        number(measurement.voltage), number(measurement.current), number(measurement.power),
        number(chargeMah), number(energyMwh)};
    if (format == Csv) {
        QByteArray line = values[0];
        for (int i = 1; i < 7; ++i)
            line += ',' + values[i];
        return line;
    }
    // Written by hand, not by QJsonObject: that one sorts its keys, so "time" would not come
    // first nor the columns in the CSV's order that readers of either format rely on, and it
    // writes numbers in their shortest form (1e-06, 5) instead of the meter's micro-units.
    // Not for speed: bench_recording had 9.9 to 12.5 us a row by hand beside 12.3 to 15.7 us by
    // QJsonObject, both some 0.01 % of a core at ten rows a second.
    static const QList<QByteArray> names = csvHeader().toUtf8().split(',');
    QByteArray line = "{\"time\":\"" + values[0] + '"';
    for (int i = 1; i < 7; ++i)
        line += ",\"" + names.at(i) + "\":" + values[i];
    return line + '}';
}

bool RecordWriter::writeLine(const QByteArray &line)
{
    if (m_file.write(line + '\n') < 0 || !m_file.flush())
        return fail(QStringLiteral("cannot write %1: %2")
                        .arg(m_file.fileName().isEmpty() ? QStringLiteral("standard output")
                                                         : m_file.fileName(),
                            m_file.errorString()));
    if (m_sinceSync.hasExpired(SyncEveryMs) && !m_file.fileName().isEmpty()) {
        syncToDisk(m_file.handle());
        m_sinceSync.start();
    }
    return true;
}

void RecordWriter::close(RunSummary *summary)
{
    const QString fileName = m_file.fileName();
    m_file.close();
    if (!m_summary)
        return;
    RunSummary written;
    SummaryPiece::stitch({m_summary.get()}, written);
    m_summary.reset();
    if (summary)
        *summary = written;
    else
        RunSummaryCache::saveSidecar(QFileInfo(fileName), written);
}

bool RecordWriter::fail(const QString &why)
{
    m_reason = m_file.errorString();
    m_errorString = why;
    return false;
}
