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
    index();
    return read && !m_rows.isEmpty();
}

void RecordedRun::addRow(RunTotals &totals, int index) const
{
    const Row &row = m_rows.at(index);
    Measurement measurement;
    measurement.elapsedSeconds = row.seconds;
    measurement.voltage = row.voltage;
    measurement.current = row.current;
    measurement.power = row.power;
    totals.add(measurement);
}

void RecordedRun::index()
{
    m_whole = RunTotals();
    m_blocks.clear();
    m_blocks.reserve(m_rows.size() / BlockRows);
    RunTotals block;
    for (int i = 0; i < m_rows.size(); ++i) {
        addRow(m_whole, i);
        addRow(block, i);
        if ((i + 1) % BlockRows == 0) {
            m_blocks.append(block);
            block = RunTotals();
        }
    }
}

RunTotals RecordedRun::totals(double from, double to) const
{
    const auto bySeconds = [](const Row &row, double seconds) { return row.seconds < seconds; };
    const auto first = std::lower_bound(m_rows.cbegin(), m_rows.cend(), from, bySeconds);
    const auto last = std::upper_bound(m_rows.cbegin(), m_rows.cend(), to,
        [](double seconds, const Row &row) { return seconds < row.seconds; });
    int i = int(first - m_rows.cbegin());
    const int end = int(last - m_rows.cbegin());
    if (i == 0 && end == m_rows.size())
        return m_whole;
    RunTotals totals;
    for (; i < end && i % BlockRows != 0; ++i)
        addRow(totals, i);
    for (; i + BlockRows <= end; i += BlockRows)
        totals.append(m_blocks.at(i / BlockRows));
    for (; i < end; ++i)
        addRow(totals, i);
    return totals;
}
