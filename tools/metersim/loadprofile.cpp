// SPDX-License-Identifier: GPL-3.0-or-later
#include "loadprofile.h"

#include <QtMath>

#include <limits>

namespace {

// Phases of one bench cycle, in samples of 100 ms.
const int IdleEnd = 100;
const int StretchEnd = 180;
const int SecondIdleEnd = 230;
const int CycleLength = 280;

const double IdleAmperes = 0.045;
const double StretchAmperes = 1.2;
const double StepAmperes = 3.5;
const double NominalVolts = 5.0;
// A little cable and shunt resistance, so the voltage sags visibly under load.
const double SagOhms = 0.02;

// Bursts during idle: one per block of samples, at a seeded position and height.
const int BurstBlock = 25;
const double BurstAmperes = 0.33;

const double DischargeSagVolts = 0.3;

enum Channel : quint64 { VoltageNoise = 1, CurrentNoise, BurstPosition, BurstLength, BurstHeight };

// splitmix64: a stateless mix, so any sample can be computed without the ones before it.
quint64 mix(quint64 x)
{
    x += 0x9E3779B97F4A7C15ULL;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ULL;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBULL;
    return x ^ (x >> 31);
}

quint64 hash(quint64 seed, quint64 index, quint64 channel)
{
    return mix(mix(mix(seed) ^ index) ^ channel);
}

quint32 toMicro(double value)
{
    const double micro = value * 1e6;
    if (!(micro > 0))
        return 0;
    if (micro >= std::numeric_limits<quint32>::max())
        return std::numeric_limits<quint32>::max();
    return quint32(qRound64(micro));
}

} // namespace

LoadProfile::LoadProfile(Kind kind, quint64 seed, const MeterReading &reading)
    : m_kind(kind)
    , m_seed(seed)
    , m_reading(reading)
{ }

LoadProfile LoadProfile::bench(quint64 seed)
{
    return LoadProfile(Bench, seed, MeterReading());
}

LoadProfile LoadProfile::constant(double volts, double amperes, double watts)
{
    MeterReading reading;
    reading.microvolts = toMicro(volts);
    reading.microamperes = toMicro(amperes);
    reading.microwatts = toMicro(watts);
    return constant(reading);
}

LoadProfile LoadProfile::constant(const MeterReading &reading)
{
    return LoadProfile(Constant, 0, reading);
}

LoadProfile LoadProfile::discharge(double fromVolts, double toVolts, int samples, double ohms)
{
    LoadProfile profile(Discharge, 0, MeterReading());
    profile.m_fromVolts = fromVolts;
    profile.m_toVolts = toVolts;
    profile.m_samples = qMax(1, samples);
    profile.m_ohms = ohms > 0 ? ohms : 1;
    return profile;
}

MeterReading LoadProfile::dischargeReading(quint64 index) const
{
    const double done = qMin(1.0, double(index) / m_samples);
    double volts = m_fromVolts + (m_toVolts - m_fromVolts) * done;
    if (index == quint64(m_samples / 2))
        volts -= DischargeSagVolts;
    const double amperes = volts / m_ohms;
    MeterReading reading;
    reading.microvolts = toMicro(volts);
    reading.microamperes = toMicro(amperes);
    reading.microwatts = toMicro(volts * amperes);
    return reading;
}

int LoadProfile::benchCycleLength()
{
    return CycleLength;
}

MeterReading LoadProfile::reading(quint64 index) const
{
    if (m_kind == Constant)
        return m_reading;
    if (m_kind == Discharge)
        return dischargeReading(index);
    const double amperes = benchCurrent(index);
    const double volts = NominalVolts - SagOhms * amperes + 0.01 * noise(index, VoltageNoise);
    MeterReading reading;
    reading.microvolts = toMicro(volts);
    reading.microamperes = toMicro(amperes);
    reading.microwatts = toMicro(volts * amperes);
    return reading;
}

double LoadProfile::benchCurrent(quint64 index) const
{
    const int phase = int(index % CycleLength);
    const double wobble = noise(index, CurrentNoise);
    if (phase >= IdleEnd && phase < StretchEnd)
        return StretchAmperes + 0.025 * wobble;
    if (phase >= SecondIdleEnd)
        return StepAmperes + 0.04 * wobble;
    const double burst = burstCurrent(index);
    return burst > 0 ? burst + 0.005 * wobble : IdleAmperes + 0.002 * wobble;
}

double LoadProfile::burstCurrent(quint64 index) const
{
    const quint64 block = index / BurstBlock;
    const quint64 start = hash(m_seed, block, BurstPosition) % (BurstBlock - 5);
    const quint64 length = 2 + hash(m_seed, block, BurstLength) % 3;
    const quint64 offset = index % BurstBlock;
    if (offset < start || offset >= start + length)
        return 0;
    return BurstAmperes + 0.001 * double(hash(m_seed, block, BurstHeight) % 40);
}

double LoadProfile::noise(quint64 index, quint64 channel) const
{
    // Uniform in [-1, 1), from the top 53 bits.
    return double(hash(m_seed, index, channel) >> 11) / double(1ULL << 52) - 1.0;
}
