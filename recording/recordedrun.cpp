// SPDX-License-Identifier: GPL-3.0-or-later
#include "recordedrun.h"

#include "recordingreader.h"

#include <algorithm>

bool RecordedRun::load(const QString &fileName)
{
    m_fileName = fileName;
    m_rows.clear();
    double offset = 0;
    RecordingReader reader;
    const bool read = reader.read(fileName, [&](const Measurement &measurement) {
        if (m_rows.isEmpty()) {
            m_startTime = measurement.time;
            offset = -measurement.elapsedSeconds;
        }
        double seconds = measurement.elapsedSeconds + offset;
        // A recording appended to another starts its clock again; the wall clock goes on.
        if (!m_rows.isEmpty() && seconds < m_rows.last().seconds) {
            const double wall = m_startTime.msecsTo(measurement.time) / 1000.0;
            offset = std::max(wall, m_rows.last().seconds) - measurement.elapsedSeconds;
            seconds = measurement.elapsedSeconds + offset;
        }
        m_rows.append({seconds, measurement.voltage, measurement.current, measurement.power});
    });
    m_skippedTornLine = reader.skippedTornLine();
    m_errorLine = reader.errorLine();
    if (!read)
        m_rows.clear();
    m_rows.squeeze();
    return read && !m_rows.isEmpty();
}

RunTotals RecordedRun::totals(double from, double to) const
{
    const auto bySeconds = [](const Row &row, double seconds) { return row.seconds < seconds; };
    RunTotals totals;
    for (auto row = std::lower_bound(m_rows.cbegin(), m_rows.cend(), from, bySeconds);
         row != m_rows.cend() && row->seconds <= to; ++row) {
        Measurement measurement;
        measurement.elapsedSeconds = row->seconds;
        measurement.voltage = row->voltage;
        measurement.current = row->current;
        measurement.power = row->power;
        totals.add(measurement);
    }
    return totals;
}
