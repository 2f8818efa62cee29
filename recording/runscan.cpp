// SPDX-License-Identifier: GPL-3.0-or-later
#include "runscan.h"

#include "rowparser.h"
#include "summarypiece.h"

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

struct Piece
{
    qint64 begin = 0;
    qint64 end = 0;
    SummaryPiece summary;
    qint64 lines = 0;
    qint64 badLine = 0;
    bool torn = false;
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
            piece.summary.add(piece.begin + (line - data), values, line, lineEnd);
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
    if (control.sketched)
        control.sketched(RunSketch::of(reinterpret_cast<const char *>(bytes), size, SketchPoints));
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
    std::vector<const SummaryPiece *> summaries;
    for (const Piece &piece : pieces)
        summaries.push_back(&piece.summary);
    SummaryPiece::stitch(summaries, summary);
    return Scanned;
}

} // namespace RunScan
