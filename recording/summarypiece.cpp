// SPDX-License-Identifier: GPL-3.0-or-later
#include "summarypiece.h"

#include <algorithm>

namespace {

void widen(float range[2], double value, bool first)
{
    const auto v = float(value);
    range[0] = first ? v : std::min(range[0], v);
    range[1] = first ? v : std::max(range[1], v);
}

} // namespace

void SummaryPiece::add(
    qint64 offset, const RowParser::Values &values, const char *begin, const char *end)
{
    const double step = m_rows > 0 ? values.elapsed - m_lastElapsed : 0;
    const bool restart = step < 0;
    if (m_rows == 0 || restart || m_blockRows == RunSummary::BlockRows)
        openBlock(offset, values, m_rows == 0 || restart, begin, end);
    else if (step > RunTotals::GapSeconds || m_tileRows == RunSummary::TileRows)
        openTile(values.elapsed);
    Block &block = m_blocks.last();
    Measurement measurement;
    measurement.elapsedSeconds = values.elapsed;
    measurement.voltage = values.voltage;
    measurement.current = values.current;
    measurement.power = values.power;
    block.block.totals.add(measurement);
    ++block.block.rows;
    block.rawLast = values.elapsed;
    RunSummary::Tile &tile = m_tiles.last();
    const bool first = m_tileRows == 0;
    widen(tile.voltage, values.voltage, first);
    widen(tile.current, values.current, first);
    widen(tile.power, values.power, first);
    tile.span = float(values.elapsed - tile.from);
    ++m_tileRows;
    ++m_blockRows;
    ++m_rows;
    m_lastElapsed = values.elapsed;
}

void SummaryPiece::openBlock(
    qint64 offset, const RowParser::Values &values, bool timed, const char *begin, const char *end)
{
    Block block;
    block.block.offset = offset;
    block.block.firstRow = m_rows;
    block.block.firstTile = m_tiles.size();
    block.rawFirst = values.elapsed;
    if (timed) {
        RowParser::Values again;
        RowParser::parse(begin, end, again, &block.wall);
    }
    m_blocks.append(block);
    m_blockRows = 0;
    openTile(values.elapsed);
}

void SummaryPiece::openTile(double from)
{
    RunSummary::Tile tile;
    tile.from = from;
    m_tiles.append(tile);
    m_tileRows = 0;
}

void SummaryPiece::stitch(const std::vector<const SummaryPiece *> &pieces, RunSummary &summary)
{
    qint64 rowBase = 0;
    double rawLast = 0;
    double shift = 0;
    for (const SummaryPiece *piece : pieces) {
        const int tileBase = summary.tiles.size();
        summary.tiles += piece->m_tiles;
        for (const Block &pieceBlock : piece->m_blocks) {
            RunSummary::Block block = pieceBlock.block;
            if (summary.blocks.isEmpty()) {
                summary.startTime = pieceBlock.wall;
                shift = -pieceBlock.rawFirst;
            } else if (pieceBlock.rawFirst < rawLast) {
                const double wall = summary.startTime.msecsTo(pieceBlock.wall) / 1000.0;
                shift = std::max(wall, summary.blocks.last().last) - pieceBlock.rawFirst;
            }
            rawLast = pieceBlock.rawLast;
            block.shift = shift;
            block.first = pieceBlock.rawFirst + shift;
            block.last = pieceBlock.rawLast + shift;
            block.firstRow += rowBase;
            block.firstTile += tileBase;
            block.totals.shiftTime(shift);
            summary.whole.append(block.totals);
            summary.blocks.append(block);
        }
        for (int i = tileBase; i < summary.tiles.size(); ++i)
            summary.tiles[i].from += summary.blocks.last().shift;
        rowBase += piece->m_rows;
    }
}
