// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef RUNSUMMARY_H
#define RUNSUMMARY_H

#include "runtotals.h"

#include <QDateTime>
#include <QVector>

// What a recording's rows add up to, at two resolutions, with where each block of rows starts
// in the file: enough to draw a run of any length and measure any stretch of it without
// keeping its rows. A few MB for a week.
struct RunSummary
{
    // Up to TileRows rows, never across a gap: the extremes a curve zoomed out draws.
    struct Tile
    {
        double from = 0;
        float span = 0;
        float voltage[2] = {};
        float current[2] = {};
        float power[2] = {};
    };

    // Up to BlockRows rows from `offset` in the file, on one clock: the row's elapsed column
    // plus `shift` is its time in the run, as a recording appended to another starts its
    // clock again. Whole blocks add up by their totals; the rows at a stretch's ends are read.
    struct Block
    {
        qint64 offset = 0;
        qint64 firstRow = 0;
        qint32 rows = 0;
        qint32 firstTile = 0;
        double shift = 0;
        double first = 0;
        double last = 0;
        RunTotals totals;
    };

    static constexpr int TileRows = 16;
    static constexpr int BlockRows = 256;

    QDateTime startTime;
    QVector<Block> blocks;
    QVector<Tile> tiles;
    RunTotals whole;
    bool tornLastRow = false;
    // The first line that is not a measurement, 0 when there is none.
    qint64 errorLine = 0;

    qint64 rowCount() const { return whole.count(); }
    double durationSeconds() const { return blocks.isEmpty() ? 0 : blocks.last().last; }
};

#endif // RUNSUMMARY_H
