// SPDX-License-Identifier: GPL-3.0-or-later
#include "measurementhistory.h"

#include "measurement.h"

#include <cmath>
#include <limits>

namespace {

// 80 kB a chunk: memory comes and goes in steps small beside the whole.
constexpr int ChunkSize = 4096;
// The extremes of every 16 samples are kept beside them, as a recording's summary keeps its
// tiles: a curve zoomed out over the full-detail day reads 54,000 tiles, not 864,000 samples.
constexpr int TileSamples = 16;
// The summary halves its resolution rather than grow past this many slots.
constexpr int MaxSummarySlots = 8192;

void widen(MeasurementHistory::Range &range, float value, bool first)
{
    range.min = first ? value : std::min(range.min, value);
    range.max = first ? value : std::max(range.max, value);
}

void widen(MeasurementHistory::Range &range, const MeasurementHistory::Range &other, bool first)
{
    range.min = first ? other.min : std::min(range.min, other.min);
    range.max = first ? other.max : std::max(range.max, other.max);
}

} // namespace

// Columns rather than rows: a row of a double and three floats would be padded to 24 bytes.
struct MeasurementHistory::Chunk
{
    double seconds[ChunkSize];
    float voltage[ChunkSize];
    float current[ChunkSize];
    float power[ChunkSize];
    // from and to: the first and the last sample's seconds.
    Extent tiles[ChunkSize / TileSamples];
};

MeasurementHistory::Sample MeasurementHistory::Sample::gap(double seconds)
{
    const float missing = std::numeric_limits<float>::quiet_NaN();
    return {seconds, missing, missing, missing};
}

bool MeasurementHistory::Sample::isGap() const
{
    return std::isnan(current);
}

void MeasurementHistory::Extent::add(const Sample &sample)
{
    if (sample.isGap()) {
        gap = true;
        return;
    }
    const bool first = count == 0;
    widen(voltage, sample.voltage, first);
    widen(current, sample.current, first);
    widen(power, sample.power, first);
    ++count;
}

void MeasurementHistory::Extent::add(const Extent &other)
{
    gap = gap || other.gap;
    if (other.count == 0)
        return;
    const bool first = count == 0;
    widen(voltage, other.voltage, first);
    widen(current, other.current, first);
    widen(power, other.power, first);
    count += other.count;
}

MeasurementHistory::MeasurementHistory(qint64 capacity, const QDateTime &startTime)
    : m_capacity(qMax<qint64>(capacity, ChunkSize))
    , m_startTime(startTime)
    , m_originNs(Measurement::monotonicNow())
{ }

MeasurementHistory::~MeasurementHistory() = default;

double MeasurementHistory::elapsed() const
{
    return secondsAt(Measurement::monotonicNow());
}

double MeasurementHistory::secondsAt(qint64 monotonicNs) const
{
    return (monotonicNs - m_originNs) / 1e9;
}

void MeasurementHistory::append(const Sample &sample)
{
    const int offset = int(m_size % ChunkSize);
    if (offset == 0) {
        // Whole chunks leave, so the horizon never falls below the capacity.
        std::unique_ptr<Chunk> chunk;
        if (m_size >= m_capacity + ChunkSize) {
            chunk = std::move(m_chunks.front());
            m_chunks.pop_front();
            forget(*chunk);
            m_size -= ChunkSize;
        } else {
            chunk = std::make_unique<Chunk>();
        }
        m_chunks.push_back(std::move(chunk));
    }
    Chunk &chunk = *m_chunks.back();
    chunk.seconds[offset] = sample.seconds;
    chunk.voltage[offset] = sample.voltage;
    chunk.current[offset] = sample.current;
    chunk.power[offset] = sample.power;
    Extent &tile = chunk.tiles[offset / TileSamples];
    if (offset % TileSamples == 0)
        tile = Extent {sample.seconds, sample.seconds};
    tile.add(sample);
    tile.to = sample.seconds;
    ++m_size;
}

void MeasurementHistory::forget(const Chunk &chunk)
{
    for (int i = 0; i < ChunkSize; ++i) {
        const Sample sample {chunk.seconds[i], chunk.voltage[i], chunk.current[i], chunk.power[i]};
        const double slot = std::floor(sample.seconds / m_slotSeconds) * m_slotSeconds;
        if (m_summary.isEmpty() || m_summary.last().from != slot) {
            m_summary.append(Extent {slot, slot + m_slotSeconds});
            if (m_summary.size() > MaxSummarySlots)
                widenSummary();
        }
        m_summary.last().add(sample);
    }
}

void MeasurementHistory::widenSummary()
{
    m_slotSeconds *= 2;
    QVector<Extent> wider;
    wider.reserve(m_summary.size() / 2 + 1);
    for (const Extent &extent : qAsConst(m_summary)) {
        const double slot = std::floor(extent.from / m_slotSeconds) * m_slotSeconds;
        if (wider.isEmpty() || wider.last().from != slot)
            wider.append(Extent {slot, slot + m_slotSeconds});
        wider.last().add(extent);
    }
    m_summary = wider;
}

const MeasurementHistory::Sample MeasurementHistory::sampleAt(qint64 index) const
{
    const Chunk &chunk = *m_chunks[size_t(index / ChunkSize)];
    const int i = int(index % ChunkSize);
    return {chunk.seconds[i], chunk.voltage[i], chunk.current[i], chunk.power[i]};
}

double MeasurementHistory::firstSeconds() const
{
    return m_size > 0 ? m_chunks.front()->seconds[0] : 0;
}

double MeasurementHistory::lastSeconds() const
{
    return m_size > 0 ? sampleAt(m_size - 1).seconds : 0;
}

qint64 MeasurementHistory::firstIndexFrom(double seconds) const
{
    qint64 low = 0;
    qint64 high = m_size;
    while (low < high) {
        const qint64 middle = (low + high) / 2;
        if (sampleAt(middle).seconds < seconds)
            low = middle + 1;
        else
            high = middle;
    }
    return low;
}

void MeasurementHistory::visit(double from, double to, const Visitor &visitor) const
{
    for (qint64 i = firstIndexFrom(from); i < m_size; ++i) {
        const Sample sample = sampleAt(i);
        if (sample.seconds > to)
            break;
        visitor(sample);
    }
}

QVector<MeasurementHistory::Extent> MeasurementHistory::summary(
    double from, double to, int slotCount) const
{
    QVector<Extent> result;
    if (slotCount <= 0 || to <= from)
        return result;
    const double width = (to - from) / slotCount;
    for (int i = 0; i < slotCount; ++i)
        result.append(Extent {from + i * width, from + (i + 1) * width});
    const auto slotOf = [&](double seconds) {
        return qBound(0, int(std::floor((seconds - from) / width)), slotCount - 1);
    };
    for (const Extent &old : m_summary) {
        if (old.to <= from || old.from >= to)
            continue;
        // An old slot wider than the asked ones shows in every slot it overlaps.
        const int last = slotOf(std::nextafter(old.to, from));
        for (int i = slotOf(old.from); i <= last; ++i)
            result[i].add(old);
    }
    for (qint64 i = firstIndexFrom(from); i < m_size;) {
        if (i % TileSamples == 0 && i + TileSamples <= m_size) {
            const Extent &tile
                = m_chunks[size_t(i / ChunkSize)]->tiles[i % ChunkSize / TileSamples];
            if (tile.to < to && slotOf(tile.from) == slotOf(tile.to)) {
                result[slotOf(tile.from)].add(tile);
                i += TileSamples;
                continue;
            }
        }
        const Sample sample = sampleAt(i);
        if (sample.seconds >= to)
            break;
        result[slotOf(sample.seconds)].add(sample);
        ++i;
    }
    return result;
}
