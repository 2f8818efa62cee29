// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef STOPCONDITION_H
#define STOPCONDITION_H

#include "measurement.h"

#include <QString>

// What ends a battery test by itself: the voltage or the current falling below a threshold, or
// the charge or the energy delivered reaching one. The condition must hold for a while, so one
// noisy sample does not end a night's run; the time is the rows' own elapsed time, so a replay
// or a test decides exactly as the live run did. One rule for ammeter-log and the window.
class StopCondition
{
public:
    enum Kind { None, VoltageBelow, CurrentBelow, ChargeAt, EnergyAt };

    static constexpr double DefaultHoldSeconds = 1.0;

    StopCondition() = default;
    StopCondition(Kind kind, double threshold, double holdSeconds = DefaultHoldSeconds);

    Kind kind() const { return m_kind; }
    double threshold() const { return m_threshold; }
    double holdSeconds() const { return m_holdSeconds; }
    bool isArmed() const { return m_kind != None; }

    // Takes one row with the run's totals after it; true at the row from which the condition has
    // held for the hold time. A gap in the rows (the meter away or silent) starts the hold anew:
    // nothing is known of what happened meanwhile.
    bool reached(const Measurement &measurement, double chargeMah, double energyMwh);
    // The value the condition watched at the last row taken.
    double value() const { return m_value; }
    // Forgets the rows taken, for a new run.
    void restart();

    // "voltage below 3.5 V", in the recorder's words.
    QString description() const;
    // "voltage below 3.5 V (3.49 V)": the condition and the value that met it.
    QString outcome() const;
    // "stopped: voltage below 3.5 V (3.49 V) after 2:41:07"
    QString stopSummary(double elapsedSeconds) const;
    // The unit of the watched value: V, A, mAh or mWh.
    static QString unit(Kind kind);
    // The decimals that show a value of this kind as precisely as its threshold.
    int valueDecimals() const;

private:
    bool holds() const;

    Kind m_kind = None;
    double m_threshold = 0;
    double m_holdSeconds = DefaultHoldSeconds;
    double m_value = 0;
    double m_lastSeconds = 0;
    double m_heldSince = -1; // negative: the condition does not hold
    bool m_started = false;
};

#endif // STOPCONDITION_H
