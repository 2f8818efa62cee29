// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef RUNSCAN_H
#define RUNSCAN_H

#include "runsketch.h"
#include "runsummary.h"

#include <atomic>
#include <functional>

class QFile;

// How a reading of a recording reports and is stopped: its sketch before its rows are read,
// progress from 0 to 1, both called on the reading threads, and a flag the reader looks at often.
struct ReadControl
{
    std::function<void(const RunSketch &)> sketched;
    std::function<void(double)> progress;
    const std::atomic<bool> *cancel = nullptr;

    bool cancelled() const { return cancel && cancel->load(std::memory_order_relaxed); }
    void report(double done) const
    {
        if (progress)
            progress(done);
    }
};

namespace RunScan {

enum Outcome { Scanned, Unreadable, Cancelled };

// The rows a sketch is taken from: two a pixel column of a wide screen.
constexpr int SketchPoints = 4096;

// One pass over the whole file into its summary, on every core there is, after its sketch:
// the file is cut into pieces at line ends, each piece read from a mapping of its own that goes
// again when it is done, so the rows pass through memory without staying.
Outcome scan(QFile &file, RunSummary &summary, const ReadControl &control);

} // namespace RunScan

#endif // RUNSCAN_H
