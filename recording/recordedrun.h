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
    // the recording wrote.
    RunTotals totals(double from, double to) const;
    RunTotals totals() const { return totals(0, durationSeconds()); }

private:
    QString m_fileName;
    QDateTime m_startTime;
    QVector<Row> m_rows;
    bool m_skippedTornLine = false;
    int m_errorLine = 0;
};

#endif // RECORDEDRUN_H
