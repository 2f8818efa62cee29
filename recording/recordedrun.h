// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef RECORDEDRUN_H
#define RECORDEDRUN_H

#include "runscan.h"
#include "runsummary.h"

#include <QDateTime>
#include <QFile>
#include <QString>

#include <functional>

// A recording opened to be looked at, measured and replayed, however long: its summary in
// memory, its rows read from the file where they are needed (the file is mapped, so the
// system's page cache holds them, not the program).
class RecordedRun
{
public:
    struct Row
    {
        double seconds = 0;
        double voltage = 0;
        double current = 0;
        double power = 0;
    };
    using RowVisitor = std::function<void(const Row &)>;
    using Tile = RunSummary::Tile;

    RecordedRun() = default;
    RecordedRun(const RecordedRun &) = delete;
    RecordedRun &operator=(const RecordedRun &) = delete;

    // False when the file cannot be read, holds a line that is not a measurement (errorLine()),
    // holds no measurement at all, or the reading was cancelled; the run is then empty. May run
    // on any thread; the run is used on one thread at a time afterwards.
    bool load(const QString &fileName, const ReadControl &control = {});

    QString fileName() const { return m_fileName; }
    QDateTime startTime() const { return m_summary.startTime; }
    qint64 rowCount() const { return m_summary.rowCount(); }
    bool isEmpty() const { return rowCount() == 0; }
    double durationSeconds() const { return m_summary.durationSeconds(); }
    bool skippedTornLine() const { return m_summary.tornLastRow; }
    qint64 errorLine() const { return m_summary.errorLine; }
    bool wasCancelled() const { return m_cancelled; }
    // Whether the summary came from the cache rather than from reading every row.
    bool summaryWasKept() const { return m_summaryKept; }

    // The figures of the rows from `from` to `to` seconds, both included, by the same totals
    // the recording wrote: whole blocks by their totals, the rows at the two ends counted.
    RunTotals totals(double from, double to) const;
    const RunTotals &totals() const { return m_summary.whole; }

    // The rows from `from` to `to` seconds, both included, oldest first.
    void visitRows(double from, double to, const RowVisitor &visit) const;
    // The rows numbered `first` to `last`, both included, counting from 0.
    void visitRows(qint64 first, qint64 last, const RowVisitor &visit) const;
    // How many rows lie at or before `seconds`.
    qint64 rowsUntil(double seconds) const;
    // How many rows lie in [from, to], from the summary: exact only at block edges.
    qint64 roughRowsBetween(double from, double to) const;
    // The tiles to draw `rows` rows on `columns` pixels from: the summary's own, or where many
    // of them share a pixel, tiles of TileRows of them, so a week redraws as fast as a day.
    const QVector<Tile> &tilesFor(qint64 rows, int columns) const;

private:
    bool load(const QString &fileName, const ReadControl &control, bool useKept);
    using BlockVisitor = std::function<bool(qint64 index, const Row &)>;

    // The block holding the first row at or after `seconds`; the block count when none does.
    int blockFrom(double seconds) const;
    // Reads the rows of a block in order until the visitor returns false.
    void readBlock(int index, const BlockVisitor &visit) const;

    QString m_fileName;
    QFile m_file;
    const uchar *m_bytes = nullptr;
    RunSummary m_summary;
    QVector<Tile> m_coarseTiles;
    bool m_cancelled = false;
    bool m_summaryKept = false;
};

#endif // RECORDEDRUN_H
