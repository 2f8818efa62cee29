// SPDX-License-Identifier: GPL-3.0-or-later
#include "stopcondition.h"

#include "runtotals.h"

#include <cmath>

StopCondition::StopCondition(Kind kind, double threshold, double holdSeconds)
    : m_kind(kind)
    , m_threshold(threshold)
    , m_holdSeconds(holdSeconds)
{ }

bool StopCondition::reached(const Measurement &measurement, double chargeMah, double energyMwh)
{
    switch (m_kind) {
    case None:
        return false;
    case VoltageBelow:
        m_value = measurement.voltage;
        break;
    case CurrentBelow:
        m_value = measurement.current;
        break;
    case ChargeAt:
        m_value = chargeMah;
        break;
    case EnergyAt:
        m_value = energyMwh;
        break;
    }
    const double seconds = measurement.elapsedSeconds;
    const bool gap = m_started && seconds - m_lastSeconds > RunTotals::GapSeconds;
    m_started = true;
    m_lastSeconds = seconds;
    if (!holds()) {
        m_heldSince = -1;
        return false;
    }
    if (m_heldSince < 0 || gap)
        m_heldSince = seconds;
    return seconds - m_heldSince >= m_holdSeconds;
}

bool StopCondition::holds() const
{
    const bool falling = m_kind == VoltageBelow || m_kind == CurrentBelow;
    return falling ? m_value < m_threshold : m_value >= m_threshold;
}

void StopCondition::restart()
{
    m_value = 0;
    m_lastSeconds = 0;
    m_heldSince = -1;
    m_started = false;
}

QString StopCondition::unit(Kind kind)
{
    switch (kind) {
    case VoltageBelow:
        return QStringLiteral("V");
    case CurrentBelow:
        return QStringLiteral("A");
    case ChargeAt:
        return QStringLiteral("mAh");
    case EnergyAt:
        return QStringLiteral("mWh");
    case None:
        break;
    }
    return QString();
}

int StopCondition::valueDecimals() const
{
    // A threshold of 3.505 V wants 3.504 V shown, not 3.50 V.
    int decimals = 0;
    for (double scaled = m_threshold; decimals < 6 && std::abs(scaled - std::round(scaled)) > 1e-9;
         scaled *= 10)
        ++decimals;
    const int least = m_kind == VoltageBelow ? 2 : m_kind == CurrentBelow ? 3 : 1;
    return qMax(least, decimals);
}

QString StopCondition::description() const
{
    static const char *const words[]
        = {"", "voltage below", "current below", "charge reaching", "energy reaching"};
    return QStringLiteral("%1 %2 %3")
        .arg(QLatin1String(words[m_kind]))
        .arg(m_threshold)
        .arg(unit(m_kind));
}

QString StopCondition::outcome() const
{
    return QStringLiteral("%1 (%2 %3)")
        .arg(description())
        .arg(m_value, 0, 'f', valueDecimals())
        .arg(unit(m_kind));
}

QString StopCondition::stopSummary(double elapsedSeconds) const
{
    const qint64 seconds = qint64(elapsedSeconds);
    return QStringLiteral("stopped: %1 after %2:%3:%4")
        .arg(outcome())
        .arg(seconds / 3600)
        .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}
