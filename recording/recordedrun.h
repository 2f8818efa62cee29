// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef RECORDEDRUN_H
#define RECORDEDRUN_H

#include "runtotals.h"

#include <QDateTime>
#include <QString>
#include <QVector>

// A recording read back whole, to be looked at, measured and replayed: every row as seconds
// since the run's first one and its three values.
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

    // False when the file cannot be read, holds a line that is not a measurement (errorLine())
    // or holds no measurement at all; the run is then empty.
    bool load(const QString &fileName);

    QString fileName() const { return m_fileName; }
    QDateTime startTime() const { return m_startTime; }
    const QVector<Row> &rows() const { return m_rows; }
    double durationSeconds() const { return m_rows.isEmpty() ? 0 : m_rows.last().seconds; }
    bool skippedTornLine() const { return m_skippedTornLine; }
    int errorLine() const { return m_errorLine; }

    // The figures of the rows from `from` to `to` seconds, both included, by the same totals
    // the recording wrote. Quick enough to follow a drag over a whole day's rows.
    RunTotals totals(double from, double to) const;
    const RunTotals &totals() const { return m_whole; }

private:
    // Rows of a block whose totals are kept, so the figures of a span add up whole blocks and
    // count rows only at its two ends.
    static constexpr int BlockRows = 1024;

    void addRow(RunTotals &totals, int index) const;
    void index();

    QString m_fileName;
    QDateTime m_startTime;
    QVector<Row> m_rows;
    QVector<RunTotals> m_blocks;
    // Counted row by row as the recording counted them, so the whole run's figures are those
    // of its last row to the last digit.
    RunTotals m_whole;
    bool m_skippedTornLine = false;
    int m_errorLine = 0;
};

#endif // RECORDEDRUN_H
