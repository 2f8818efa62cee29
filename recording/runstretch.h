// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef RUNSTRETCH_H
#define RUNSTRETCH_H

#include "runtotals.h"

// The part of a meter's run from a later start on: a recording begun, publishing turned on, the
// figures reset. It counts nothing of its own: it reads the one run's totals less where they
// stood at its first measurement, so that the status bar, a recording and the published figures
// of one stretch are one count, and agree to the last digit.
class RunStretch
{
public:
    // From the run's next measurement on.
    void restart() { m_run = nullptr; }
    // After each measurement the run took: the first after a restart begins the stretch, with
    // nothing flowed yet.
    void take(const RunTotals &run);

    bool isStarted() const { return m_run != nullptr; }
    qint64 count() const;
    double minimumCurrent() const { return m_current.min; }
    double meanCurrent() const;
    double maximumCurrent() const { return m_current.max; }
    double chargeMilliampereHours() const;
    double energyMilliwattHours() const;

private:
    // Where the run stood at the stretch's first measurement: its count and sum before it, the
    // charge and energy after the step to it.
    struct Start
    {
        qint64 count = 0;
        double currentSum = 0;
        double chargeMah = 0;
        double energyMwh = 0;
    };

    const RunTotals *m_run = nullptr;
    Start m_start;
    RunTotals::Range m_current;
};

#endif // RUNSTRETCH_H
