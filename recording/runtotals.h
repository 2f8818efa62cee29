// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef RUNTOTALS_H
#define RUNTOTALS_H

#include "measurement.h"

#include <QString>
#include <QtGlobal>

class QDataStream;

// The figures of a run, kept up to date measurement by measurement in constant
// memory, so that a recorder can run for days.
class RunTotals
{
public:
    // Longer than this between two measurements is a gap: the meter was away or
    // silent, and nothing is known about what flowed meanwhile.
    static constexpr double GapSeconds = 1.0;

    struct Range
    {
        double min = 0;
        double max = 0;
        double sum = 0;
        void add(double value, bool first);
        void append(const Range &later);
    };

    // Returns whether a gap lies before this measurement.
    bool add(const Measurement &measurement);
    // The measurements of `later`, which follow this run's, as if added one by one: the step
    // between the two is counted as add() counts it.
    void append(const RunTotals &later);

    double durationSeconds() const { return m_seconds; }
    const Range &voltage() const { return m_voltage; }
    const Range &current() const { return m_current; }
    const Range &power() const { return m_power; }
    double mean(const Range &range) const { return m_count ? range.sum / m_count : 0; }

    qint64 count() const { return m_count; }
    const Measurement &last() const { return m_last; }
    double minimumCurrent() const { return m_current.min; }
    double meanCurrent() const { return m_count > 0 ? m_current.sum / m_count : 0; }
    double maximumCurrent() const { return m_current.max; }
    double chargeMilliampereHours() const { return m_chargeAs / 3.6; }
    double energyMilliwattHours() const { return m_energyWs / 3.6; }

    // Several lines, for standard error and the picture's caption.
    QString summary() const;

    // Moves the run on the time axis: totals counted on one clock placed on another.
    void shiftTime(double seconds);
    // The figures without the wall clock's times, for a run's kept summary.
    void save(QDataStream &stream) const;
    void load(QDataStream &stream);

private:
    bool step(const Measurement &from, const Measurement &to);

    qint64 m_count = 0;
    Measurement m_first;
    Measurement m_last;
    double m_seconds = 0;
    int m_gaps = 0;
    double m_gapSeconds = 0;
    double m_chargeAs = 0;
    double m_energyWs = 0;
    Range m_voltage;
    Range m_current;
    Range m_power;
};

#endif // RUNTOTALS_H
