// SPDX-License-Identifier: GPL-3.0-or-later
#include "runstretch.h"

void RunStretch::take(const RunTotals &run)
{
    const bool first = m_run == nullptr;
    if (first) {
        m_run = &run;
        m_start = {run.count() - 1, run.current().sum - run.last().current,
            run.chargeMilliampereHours(), run.energyMilliwattHours()};
    }
    m_current.add(run.last().current, first);
}

qint64 RunStretch::count() const
{
    return m_run ? m_run->count() - m_start.count : 0;
}

double RunStretch::meanCurrent() const
{
    const qint64 n = count();
    return n > 0 ? (m_run->current().sum - m_start.currentSum) / n : 0;
}

double RunStretch::chargeMilliampereHours() const
{
    return m_run ? m_run->chargeMilliampereHours() - m_start.chargeMah : 0;
}

double RunStretch::energyMilliwattHours() const
{
    return m_run ? m_run->energyMilliwattHours() - m_start.energyMwh : 0;
}
