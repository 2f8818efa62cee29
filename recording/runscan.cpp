// SPDX-License-Identifier: GPL-3.0-or-later
#include "runscan.h"

#include "rowparser.h"

#include <QFile>
#include <QThread>

#include <algorithm>
#include <climits>
#include <cstring>
#include <thread>
#include <vector>

namespace {

// Pieces small enough to share out evenly and to stop soon, large enough to cost nothing.
constexpr qint64 PieceBytes = 4 << 20;
constexpr qint64 LinesBetweenLooks = 1 << 16;

struct PieceBlock
{
    RunSummary::Block block;
    double rawFirst = 0;
    double rawLast = 0;
    // Set where the block's time of day was read: a piece's first block, and where the
    // elapsed column went back.
    QDateTime wall;
};

struct Piece
{
    qint64 begin = 0;
    qint64 end = 0;
    QVector<PieceBlock> blocks;
    QVector<RunSummary::Tile> tiles;
    qint64 lines = 0;
    qint64 rows = 0;
    qint64 badLine = 0;
    bool torn = false;
};

// Cuts a piece's rows into blocks and tiles, on the clock of the elapsed column.
class PieceBuilder
{
public:
    explicit PieceBuilder(Piece &piece)
        : m_piece(piece)
    { }

    void add(qint64 offset, const RowParser::Values &values, const char *begin, const char *end)
    {
        const double step = m_piece.rows > 0 ? values.elapsed - m_lastElapsed : 0;
        const bool restart = step < 0;
        if (m_piece.rows == 0 || restart || m_blockRows == RunSummary::BlockRows)
            openBlock(offset, values, m_piece.rows == 0 || restart, begin, end);
        else if (step > RunTotals::GapSeconds || m_tileRows == RunSummary::TileRows)
            openTile(values.elapsed);
        PieceBlock &block = m_piece.blocks.last();
        Measurement measurement;
        measurement.elapsedSeconds = values.elapsed;
        measurement.voltage = values.voltage;
        measurement.current = values.current;
        measurement.power = values.power;
        block.block.totals.add(measurement);
        ++block.block.rows;
        block.rawLast = values.elapsed;
        RunSummary::Tile &tile = m_piece.tiles.last();
        const bool first = m_tileRows == 0;
        widen(tile.voltage, values.voltage, first);
        widen(tile.current, values.current, first);
        widen(tile.power, values.power, first);
        tile.span = float(values.elapsed - tile.from);
        ++m_tileRows;
        ++m_blockRows;
        ++m_piece.rows;
        m_lastElapsed = values.elapsed;
    }

private:
    static void widen(float range[2], double value, bool first)
    {
        const auto v = float(value);
        range[0] = first ? v : std::min(range[0], v);
        range[1] = first ? v : std::max(range[1], v);
    }

    void openBlock(qint64 offset, const RowParser::Values &values, bool timed, const char *begin,
        const char *end)
    {
        PieceBlock block;
        block.block.offset = offset;
        block.block.firstRow = m_piece.rows;
        block.block.firstTile = m_piece.tiles.size();
        block.rawFirst = values.elapsed;
        if (timed) {
            RowParser::Values again;
            RowParser::parse(begin, end, again, &block.wall);
        }
        m_piece.blocks.append(block);
        m_blockRows = 0;
        openTile(values.elapsed);
    }

    void openTile(double from)
    {
        RunSummary::Tile tile;
        tile.from = from;
        m_piece.tiles.append(tile);
        m_tileRows = 0;
    }

    Piece &m_piece;
    double m_lastElapsed = 0;
    int m_blockRows = 0;
    int m_tileRows = 0;
};

// Pieces end at line ends, so that no line is cut in two.
std::vector<Piece> cutIntoPieces(const uchar *bytes, qint64 size)
{
    std::vector<Piece> pieces;
    qint64 begin = 0;
    while (begin < size) {
        qint64 end = std::min(size, begin + PieceBytes);
        if (end < size) {
            const void *lineEnd = std::memchr(bytes + end, '\n', size_t(size - end));
            end = lineEnd ? static_cast<const uchar *>(lineEnd) - bytes + 1 : size;
        }
        Piece piece;
        piece.begin = begin;
        piece.end = end;
        pieces.push_back(piece);
        begin = end;
    }
    return pieces;
}

// False when the piece holds a line that is not a measurement, or the reading was stopped.
bool readPiece(const QString &fileName, qint64 fileSize, Piece &piece, const ReadControl &control)
{
    QFile file(fileName);
    const qint64 length = piece.end - piece.begin;
    const uchar *map = file.open(QIODevice::ReadOnly) ? file.map(piece.begin, length) : nullptr;
    if (!map)
        return false;
    PieceBuilder builder(piece);
    const char *data = reinterpret_cast<const char *>(map);
    const char *end = data + length;
    for (const char *line = data; line < end; ++piece.lines) {
        if (piece.lines % LinesBetweenLooks == 0 && control.cancelled())
            return false;
        const char *lineEnd
            = static_cast<const char *>(std::memchr(line, '\n', size_t(end - line)));
        const bool whole = lineEnd != nullptr;
        if (!whole)
            lineEnd = end;
        RowParser::Values values;
        switch (RowParser::parse(line, lineEnd, values)) {
        case RowParser::Row:
            builder.add(piece.begin + (line - data), values, line, lineEnd);
            break;
        case RowParser::Blank:
            break;
        case RowParser::Bad:
            // A recorder killed in the middle of its last row: the rows before it stand.
            if (!whole && piece.end == fileSize) {
                piece.torn = true;
                ++piece.lines;
                return true;
            }
            piece.badLine = piece.lines + 1;
            return false;
        }
        line = lineEnd + 1;
    }
    return true;
}

// Puts the pieces' blocks on the run's one clock: from 0 at its first row, and where the
// elapsed column goes back (a recording appended to another), on from the later of the wall
// clock and the last time so far.
void stitch(std::vector<Piece> &pieces, RunSummary &summary)
{
    qint64 rowBase = 0;
    double rawLast = 0;
    double shift = 0;
    for (Piece &piece : pieces) {
        const int tileBase = summary.tiles.size();
        summary.tiles += piece.tiles;
        for (PieceBlock &pieceBlock : piece.blocks) {
            RunSummary::Block &block = pieceBlock.block;
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
        rowBase += piece.rows;
    }
}

} // namespace

namespace RunScan {

Outcome scan(QFile &file, RunSummary &summary, const ReadControl &control)
{
    summary = RunSummary();
    const qint64 size = file.size();
    if (size == 0)
        return Scanned;
    const uchar *bytes = file.map(0, size);
    if (!bytes)
        return Unreadable;
    std::vector<Piece> pieces = cutIntoPieces(bytes, size);
    file.unmap(const_cast<uchar *>(bytes));

    std::atomic<size_t> next {0};
    std::atomic<size_t> firstBad {SIZE_MAX};
    std::atomic<qint64> done {0};
    std::atomic<bool> unreadable {false};
    const auto work = [&] {
        for (size_t i = next++; i < pieces.size() && i < firstBad; i = next++) {
            if (!readPiece(file.fileName(), size, pieces[i], control)) {
                if (pieces[i].badLine > 0) {
                    size_t bad = firstBad;
                    while (i < bad && !firstBad.compare_exchange_weak(bad, i)) { }
                } else if (!control.cancelled()) {
                    unreadable = true;
                }
                if (pieces[i].badLine == 0)
                    return;
            }
            control.report(double(done += pieces[i].end - pieces[i].begin) / size);
        }
    };
    const int helpers = std::min(QThread::idealThreadCount(), int(pieces.size())) - 1;
    std::vector<std::thread> threads;
    for (int i = 0; i < helpers; ++i)
        threads.emplace_back(work);
    work();
    for (std::thread &thread : threads)
        thread.join();

    if (control.cancelled())
        return Cancelled;
    if (firstBad != SIZE_MAX) {
        for (size_t i = 0; i < firstBad; ++i)
            summary.errorLine += pieces[i].lines;
        summary.errorLine += pieces[firstBad].badLine;
        return Scanned;
    }
    if (unreadable)
        return Unreadable;
    summary.tornLastRow = pieces.back().torn;
    stitch(pieces, summary);
    return Scanned;
}

} // namespace RunScan
