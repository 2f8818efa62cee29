// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef RUNSUMMARYCACHE_H
#define RUNSUMMARYCACHE_H

#include "runsummary.h"

class QFileInfo;

// Summaries of recordings, keyed by the recording's size and time of change, so a long run
// opens at once: the one its writer left beside it as it finished ("<recording>.summary"), or
// one kept under the user's cache folder since it was read once. A summary that does not match
// its recording to the byte, or is damaged, is never used.
namespace RunSummaryCache {

QString fileFor(const QFileInfo &recording);
QString sidecarFor(const QFileInfo &recording);
// The writer's first, then the cache's. False when there is none for the recording as it is now.
bool load(const QFileInfo &recording, RunSummary &summary);
// Both gone: for a summary found wrong after all.
void forget(const QFileInfo &recording);
void save(const QFileInfo &recording, const RunSummary &summary);
// Beside the recording, which its writer has closed. False when it cannot be written there.
bool saveSidecar(const QFileInfo &recording, const RunSummary &summary);

} // namespace RunSummaryCache

#endif // RUNSUMMARYCACHE_H
