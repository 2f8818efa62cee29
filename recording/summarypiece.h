// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef SUMMARYPIECE_H
#define SUMMARYPIECE_H

#include "rowparser.h"
#include "runsummary.h"

#include <vector>

// The summary of consecutive rows of a recording, built row by row on the clock of their elapsed
// column: by a reading of the file, a piece of it on each core, and by the writer as it writes,
// so that a recording's summary is the same whoever made it.
class SummaryPiece
{
public:
    // A row read from the file's bytes at offset; begin and end are its line, read again for the
    // time of day where a block's clock starts.
    void add(qint64 offset, const RowParser::Values &values, const char *begin, const char *end);
    qint64 rows() const { return m_rows; }

    // The pieces of one recording in file order, their blocks put on the run's one clock: from 0
    // at its first row, and where the elapsed column goes back (a recording appended to
    // another), on from the later of the wall clock and the last time so far.
    static void stitch(const std::vector<const SummaryPiece *> &pieces, RunSummary &summary);

private:
    struct Block
    {
        RunSummary::Block block;
        double rawFirst = 0;
        double rawLast = 0;
        // Set where the block's time of day was read: a piece's first block, and where the
        // elapsed column went back.
        QDateTime wall;
    };

    void openBlock(qint64 offset, const RowParser::Values &values, bool timed, const char *begin,
        const char *end);
    void openTile(double from);

    QVector<Block> m_blocks;
    QVector<RunSummary::Tile> m_tiles;
    qint64 m_rows = 0;
    double m_lastElapsed = 0;
    int m_blockRows = 0;
    int m_tileRows = 0;
};

#endif // SUMMARYPIECE_H
