// SPDX-License-Identifier: GPL-3.0-or-later
#include "runtotals.h"

#include <QDataStream>
#include <QStringList>

void RunTotals::Range::add(double value, bool first)
{
    min = first ? value : qMin(min, value);
    max = first ? value : qMax(max, value);
    sum += value;
}

void RunTotals::Range::append(const Range &later)
{
    min = qMin(min, later.min);
    max = qMax(max, later.max);
    sum += later.sum;
}

// Counts the time from one measurement to the next, and what flowed meanwhile unless the meter
// was away; returns whether it was.
bool RunTotals::step(const Measurement &from, const Measurement &to)
{
    const double step = to.elapsedSeconds - from.elapsedSeconds;
    // A recording appended to another starts its clock again: that, too, is a gap.
    const bool gap = step > GapSeconds || step < 0;
    if (gap) {
        ++m_gaps;
        m_gapSeconds += qMax(step, 0.0);
    } else {
        // Trapezoids: the meter is sampled, and the load moves between two samples.
        m_chargeAs += (from.current + to.current) / 2 * step;
        m_energyWs += (from.power + to.power) / 2 * step;
    }
    m_seconds += qMax(step, 0.0);
    return gap;
}

bool RunTotals::add(const Measurement &measurement)
{
    const bool first = m_count == 0;
    const bool gap = !first && step(m_last, measurement);
    if (first)
        m_first = measurement;
    m_voltage.add(measurement.voltage, first);
    m_current.add(measurement.current, first);
    m_power.add(measurement.power, first);
    ++m_count;
    m_last = measurement;
    return gap;
}

void RunTotals::append(const RunTotals &later)
{
    if (later.m_count == 0)
        return;
    if (m_count == 0) {
        *this = later;
        return;
    }
    step(m_last, later.m_first);
    m_seconds += later.m_seconds;
    m_gaps += later.m_gaps;
    m_gapSeconds += later.m_gapSeconds;
    m_chargeAs += later.m_chargeAs;
    m_energyWs += later.m_energyWs;
    m_voltage.append(later.m_voltage);
    m_current.append(later.m_current);
    m_power.append(later.m_power);
    m_count += later.m_count;
    m_last = later.m_last;
}

static QString clock(double seconds)
{
    const qint64 ms = qRound64(seconds * 1000);
    return QStringLiteral("%1:%2:%3.%4")
        .arg(ms / 3600000)
        .arg(ms / 60000 % 60, 2, 10, QLatin1Char('0'))
        .arg(ms / 1000 % 60, 2, 10, QLatin1Char('0'))
        .arg(ms / 100 % 10);
}

QString RunTotals::summary() const
{
    const double n = qMax<qint64>(m_count, 1);
    const auto range = [n](const Range &range, const char *unit) {
        return QStringLiteral("min %1 %4, mean %2 %4, max %3 %4")
            .arg(range.min, 0, 'f', 6)
            .arg(range.sum / n, 0, 'f', 6)
            .arg(range.max, 0, 'f', 6)
            .arg(QLatin1String(unit));
    };
    return QStringList {
        QStringLiteral("measurements %1, duration %2, gaps %3 (%4 s without measurements)")
            .arg(m_count)
            .arg(clock(m_seconds))
            .arg(m_gaps)
            .arg(m_gapSeconds, 0, 'f', 1),
        QStringLiteral("current %1").arg(range(m_current, "A")),
        QStringLiteral("power %1").arg(range(m_power, "W")),
        QStringLiteral("charge %1 mAh, energy %2 mWh")
            .arg(chargeMilliampereHours(), 0, 'f', 6)
            .arg(energyMilliwattHours(), 0, 'f', 6),
    }
        .join(QLatin1Char('\n'));
}

void RunTotals::shiftTime(double seconds)
{
    m_first.elapsedSeconds += seconds;
    m_last.elapsedSeconds += seconds;
}

namespace {

void saveRow(QDataStream &stream, const Measurement &row)
{
    stream << row.elapsedSeconds << row.voltage << row.current << row.power;
}

void loadRow(QDataStream &stream, Measurement &row)
{
    stream >> row.elapsedSeconds >> row.voltage >> row.current >> row.power;
}

} // namespace

void RunTotals::save(QDataStream &stream) const
{
    stream << m_count;
    saveRow(stream, m_first);
    saveRow(stream, m_last);
    stream << m_seconds << qint32(m_gaps) << m_gapSeconds << m_chargeAs << m_energyWs;
    for (const Range *range : {&m_voltage, &m_current, &m_power})
        stream << range->min << range->max << range->sum;
}

void RunTotals::load(QDataStream &stream)
{
    qint32 gaps = 0;
    stream >> m_count;
    loadRow(stream, m_first);
    loadRow(stream, m_last);
    stream >> m_seconds >> gaps >> m_gapSeconds >> m_chargeAs >> m_energyWs;
    m_gaps = gaps;
    for (Range *range : {&m_voltage, &m_current, &m_power})
        stream >> range->min >> range->max >> range->sum;
}
