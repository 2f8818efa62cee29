// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef LOADPROFILE_H
#define LOADPROFILE_H

#include <QtGlobal>

// One reading as the meter puts it on the line, in micro-units.
struct MeterReading
{
    quint32 microvolts = 0;
    quint32 microamperes = 0;
    quint32 microwatts = 0;
};

// What the simulated meter measures, as a pure function of the sample index:
// the n-th measurement request is answered with reading(n), so a run is
// reproducible request by request whatever the timing. One sample stands for
// the host's 100 ms poll period.
class LoadProfile
{
public:
    // A device under test that visits all three dial ranges: idle around 45 mA
    // with short bursts to about 350 mA, a stretch near 1.2 A, a step near 3.5 A,
    // at about 5.0 V with a little noise; power is voltage times current. The
    // same seed always gives the same readings. The phases repeat every
    // benchCycleLength() samples; the noise and the bursts' places do not.
    static LoadProfile bench(quint64 seed = 1);
    // The same reading every time; values are rounded to micro-units and
    // clamped to what the meter can send.
    static LoadProfile constant(double volts, double amperes, double watts);
    static LoadProfile constant(const MeterReading &reading);
    // A battery run down through a resistive load: the voltage falls evenly from fromVolts to
    // toVolts over the given samples and then stays there, the current following it (volts over
    // ohms). Halfway down one sample sags by 0.3 V, as a battery does under a momentary load step.
    static LoadProfile discharge(double fromVolts, double toVolts, int samples, double ohms);

    static int benchCycleLength();

    MeterReading reading(quint64 index) const;

private:
    enum Kind { Bench, Constant, Discharge };

    LoadProfile(Kind kind, quint64 seed, const MeterReading &reading);

    double benchCurrent(quint64 index) const;
    double burstCurrent(quint64 index) const;
    double noise(quint64 index, quint64 channel) const;
    MeterReading dischargeReading(quint64 index) const;

    Kind m_kind;
    quint64 m_seed;
    MeterReading m_reading;
    double m_fromVolts = 0;
    double m_toVolts = 0;
    int m_samples = 1;
    double m_ohms = 1;
};

#endif // LOADPROFILE_H
