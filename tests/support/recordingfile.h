// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef RECORDINGFILE_H
#define RECORDINGFILE_H

#include "recordwriter.h"
#include "runtotals.h"

#include <functional>

// A recording as the window writes one, with its own writer and the running totals beside each
// row: ten rows a second from 21:03:04, the current of row i from current(i), 5 V, and the meter
// away for gapSeconds after row gapAt.
inline QString writeRecording(const QString &path, int rows,
    const std::function<double(int)> &current, double gapSeconds = 0, int gapAt = -1,
    const QDateTime &start = QDateTime(QDate(2026, 12, 6), QTime(21, 3, 4)))
{
    RecordWriter writer;
    RunTotals totals;
    if (!writer.open(path, RecordWriter::Csv))
        return QString();
    for (int i = 0; i < rows; ++i) {
        const double seconds = i * 0.1 + (gapAt >= 0 && i >= gapAt ? gapSeconds : 0);
        const double amperes = current(i);
        const Measurement m {
            start.addMSecs(qint64(seconds * 1000)), seconds, 5.0, amperes, 5.0 * amperes};
        totals.add(m);
        writer.write(m, totals.chargeMilliampereHours(), totals.energyMilliwattHours());
    }
    return path;
}

#endif // RECORDINGFILE_H
