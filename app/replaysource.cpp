// SPDX-License-Identifier: GPL-3.0-or-later
#include "replaysource.h"

#include "measurementhistory.h"
#include "recordedrun.h"
#include "runtotals.h"

ReplaySource::ReplaySource(QObject *parent)
    : MeasurementSource(parent)
{ }

ReplaySource::~ReplaySource() = default;

void ReplaySource::restart(const RecordedRun *run)
{
    m_run = run;
    forget();
    m_history = std::make_unique<MeasurementHistory>(
        MeasurementHistory::DefaultCapacity, run->startTime());
    emit historyChanged();
}

void ReplaySource::end()
{
    m_run = nullptr;
    m_history.reset();
}

void ReplaySource::reach(qint64 first, qint64 last)
{
    RecordedRun::Row newest;
    m_run->visitRows(first, last, [this, &newest](const RecordedRun::Row &row) {
        if (m_history->size() > 0 && row.seconds - m_history->lastSeconds() > RunTotals::GapSeconds)
            m_history->append(MeasurementHistory::Sample::gap(
                m_history->lastSeconds() + RunTotals::GapSeconds / 2));
        m_history->append({row.seconds, float(row.voltage), float(row.current), float(row.power)});
        newest = row;
    });
    // At ten times and more several rows come due at once: the curves take them all from the
    // history, the numbers and needles show the newest.
    show(float(newest.voltage), float(newest.current), float(newest.power));
}
