// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef RUNSUMMARYCACHE_H
#define RUNSUMMARYCACHE_H

#include "runsummary.h"

class QFileInfo;

// Summaries of recordings already read once, kept under the user's cache folder and keyed by
// the recording's path, size and time of change, so a long run opens again at once. A kept
// summary that does not match its recording to the byte, or is damaged, is never used.
namespace RunSummaryCache {

QString fileFor(const QFileInfo &recording);
// False when there is no summary for the recording as it is now.
bool load(const QFileInfo &recording, RunSummary &summary);
void save(const QFileInfo &recording, const RunSummary &summary);

} // namespace RunSummaryCache

#endif // RUNSUMMARYCACHE_H
