// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef EVENTTEXT_H
#define EVENTTEXT_H

#include "recordedrun.h"
#include "runevent.h"

#include <QCoreApplication>

// A recording's events as the playback shows them: a short label in the user's language, and
// where each lies on the run's time axis.
class EventText
{
    Q_DECLARE_TR_FUNCTIONS(EventText)

public:
    // "拔出", "接回", ...; a note is its own words.
    static QString label(const RunEvent &event);
    // The label with the event's detail, for a list or a tooltip.
    static QString detail(const RunEvent &event);
    // Seconds since the run's first row, by the wall clock both carry: the events file keeps
    // the recorder's clock, which a run's rows may have started later than.
    static double seconds(const RecordedRun &run, const RunEvent &event);
};

#endif // EVENTTEXT_H
