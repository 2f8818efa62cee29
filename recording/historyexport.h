// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef HISTORYEXPORT_H
#define HISTORYEXPORT_H

#include "measurementhistory.h"

#include <QDateTime>
#include <QString>
#include <QVector>

#include <atomic>
#include <functional>

// The window's history as a CSV recording, in the columns and with the totals a recording of
// the same measurements would have had. Written on a thread of its own from a copy of the
// samples, into a file that takes the old one's place only when it is whole.
namespace HistoryExport {

using Samples = QVector<MeasurementHistory::Sample>;

struct Result
{
    bool written = false;
    bool cancelled = false;
    qint64 rows = 0;
    // The system's own words when not written.
    QString reason;
};

// The full-detail samples, copied on the thread that appends to the history.
Samples snapshot(const MeasurementHistory &history);

// Progress goes from 0 to 100; `cancel` may be set from another thread at any time.
Result writeCsv(const QString &fileName, const Samples &samples, const QDateTime &start,
    const std::atomic<bool> &cancel, const std::function<void(int)> &progress);

} // namespace HistoryExport

#endif // HISTORYEXPORT_H
