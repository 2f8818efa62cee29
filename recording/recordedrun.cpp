// SPDX-License-Identifier: GPL-3.0-or-later
#include "recordedrun.h"

#include "rowparser.h"
#include "runsummarycache.h"

#include <QFileInfo>

#include <algorithm>
#include <cstring>

namespace {

Measurement measurementOf(const RecordedRun::Row &row)
{
    Measurement measurement;
    measurement.elapsedSeconds = row.seconds;
    measurement.voltage = row.voltage;
    measurement.current = row.current;
    measurement.power = row.power;
    return measurement;
}

} // namespace

bool RecordedRun::load(const QString &fileName, const ReadControl &control)
{
    return load(fileName, control, true);
}

bool RecordedRun::load(const QString &fileName, const ReadControl &control, bool useKept)
{
    m_fileName = fileName;
    m_summary = RunSummary();
    m_cancelled = false;
    m_summaryKept = false;
    if (m_bytes)
        m_file.unmap(const_cast<uchar *>(m_bytes));
    m_bytes = nullptr;
    m_file.close();
    m_file.setFileName(fileName);
    if (!m_file.open(QIODevice::ReadOnly))
        return false;
    const QFileInfo info(fileName);
    RunSummary summary;
    m_summaryKept = useKept && RunSummaryCache::load(info, summary);
    if (!m_summaryKept) {
        const RunScan::Outcome outcome = RunScan::scan(m_file, summary, control);
        m_cancelled = outcome == RunScan::Cancelled;
        if (outcome != RunScan::Scanned)
            return false;
        m_summary.errorLine = summary.errorLine;
        if (summary.errorLine > 0 || summary.blocks.isEmpty())
            return false;
    }
    m_bytes = m_file.map(0, m_file.size());
    if (!m_bytes)
        return false;
    m_summary = summary;
    // A kept summary is checked against the rows once more: its last block must start with
    // the row it says, else the file was changed within the same second and size.
    if (m_summaryKept) {
        bool matches = false;
        readBlock(m_summary.blocks.size() - 1, [&](qint64, const Row &row) {
            matches = row.seconds == m_summary.blocks.last().first;
            return false;
        });
        if (!matches) {
            RunSummaryCache::forget(info);
            return load(fileName, control, false);
        }
    } else {
        RunSummaryCache::save(info, m_summary);
    }
    m_coarseTiles.clear();
    for (int i = 0; i < m_summary.tiles.size(); ++i) {
        const Tile &tile = m_summary.tiles.at(i);
        Tile *last = m_coarseTiles.isEmpty() ? nullptr : &m_coarseTiles.last();
        if (!last || i % RunSummary::TileRows == 0
            || tile.from - (last->from + last->span) > RunTotals::GapSeconds) {
            m_coarseTiles.append(tile);
            continue;
        }
        for (auto range : {&Tile::voltage, &Tile::current, &Tile::power}) {
            (last->*range)[0] = std::min((last->*range)[0], (tile.*range)[0]);
            (last->*range)[1] = std::max((last->*range)[1], (tile.*range)[1]);
        }
        last->span = float(tile.from + tile.span - last->from);
    }
    control.report(1);
    return true;
}

const QVector<RecordedRun::Tile> &RecordedRun::tilesFor(qint64 rows, int columns) const
{
    constexpr qint64 tilesPerColumn = 8;
    return rows > tilesPerColumn * RunSummary::TileRows * RunSummary::TileRows * columns
        ? m_coarseTiles
        : m_summary.tiles;
}

int RecordedRun::blockFrom(double seconds) const
{
    const auto &blocks = m_summary.blocks;
    return int(std::lower_bound(blocks.cbegin(), blocks.cend(), seconds,
                   [](const RunSummary::Block &block, double s) { return block.last < s; })
        - blocks.cbegin());
}

void RecordedRun::readBlock(int index, const BlockVisitor &visit) const
{
    const RunSummary::Block &block = m_summary.blocks.at(index);
    const char *data = reinterpret_cast<const char *>(m_bytes);
    const char *end = data + m_file.size();
    const char *line = data + block.offset;
    for (qint64 row = 0; row < block.rows && line < end;) {
        const char *lineEnd
            = static_cast<const char *>(std::memchr(line, '\n', size_t(end - line)));
        if (!lineEnd)
            lineEnd = end;
        RowParser::Values values;
        if (RowParser::parse(line, lineEnd, values) == RowParser::Row) {
            const Row parsed {
                values.elapsed + block.shift, values.voltage, values.current, values.power};
            if (!visit(block.firstRow + row, parsed))
                return;
            ++row;
        }
        line = lineEnd + 1;
    }
}

void RecordedRun::visitRows(double from, double to, const RowVisitor &visit) const
{
    bool more = true;
    for (int i = blockFrom(from); more && i < m_summary.blocks.size(); ++i) {
        if (m_summary.blocks.at(i).first > to)
            break;
        readBlock(i, [&](qint64, const Row &row) {
            if (row.seconds > to)
                return more = false;
            if (row.seconds >= from)
                visit(row);
            return true;
        });
    }
}

void RecordedRun::visitRows(qint64 first, qint64 last, const RowVisitor &visit) const
{
    const auto &blocks = m_summary.blocks;
    int i = int(std::upper_bound(blocks.cbegin(), blocks.cend(), first,
                    [](qint64 row, const RunSummary::Block &block) { return row < block.firstRow; })
                - blocks.cbegin())
        - 1;
    bool more = true;
    for (i = std::max(i, 0); more && i < blocks.size() && blocks.at(i).firstRow <= last; ++i)
        readBlock(i, [&](qint64 index, const Row &row) {
            if (index > last)
                return more = false;
            if (index >= first)
                visit(row);
            return true;
        });
}

qint64 RecordedRun::rowsUntil(double seconds) const
{
    const int i = blockFrom(seconds);
    if (i == m_summary.blocks.size())
        return rowCount();
    qint64 count = m_summary.blocks.at(i).firstRow;
    readBlock(i, [&](qint64 index, const Row &row) {
        if (row.seconds > seconds)
            return false;
        count = index + 1;
        return true;
    });
    return count;
}

qint64 RecordedRun::roughRowsBetween(double from, double to) const
{
    const int first = blockFrom(from);
    const int end = blockFrom(to);
    const auto rowAt = [this](int block) {
        return block < m_summary.blocks.size() ? m_summary.blocks.at(block).firstRow : rowCount();
    };
    const int last = std::min(end + 1, int(m_summary.blocks.size()));
    return rowAt(last) - rowAt(first);
}

RunTotals RecordedRun::totals(double from, double to) const
{
    const auto &blocks = m_summary.blocks;
    RunTotals totals;
    if (blocks.isEmpty())
        return totals;
    if (from <= blocks.first().first && to >= blocks.last().last)
        return m_summary.whole;
    const auto addRows = [&](int block) {
        readBlock(block, [&](qint64, const Row &row) {
            if (row.seconds > to)
                return false;
            if (row.seconds >= from)
                totals.add(measurementOf(row));
            return true;
        });
    };
    for (int i = blockFrom(from); i < blocks.size() && blocks.at(i).first <= to; ++i) {
        if (blocks.at(i).first >= from && blocks.at(i).last <= to)
            totals.append(blocks.at(i).totals);
        else
            addRows(i);
    }
    return totals;
}
