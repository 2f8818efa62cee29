// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef MEASUREMENTHISTORY_H
#define MEASUREMENTHISTORY_H

#include <QDateTime>
#include <QVector>

#include <deque>
#include <functional>
#include <memory>

// Every measurement of one meter the window has received, held once for all
// its views and exports, in memory that stays bounded however long the window runs.
//
// The newest `capacity` samples (by default a day at the meter's ten a
// second, 20 bytes each) are kept at full resolution. Older ones are folded
// into a min/max summary whose slots widen as it fills, so that a peak of
// any age stays visible while the whole summary stays a few hundred kB.
//
// Times are seconds on a monotonic clock since the history began, so that a
// change of the system clock cannot reorder them; startTime() turns them back
// into times of day. Samples must come in time order.
class MeasurementHistory
{
public:
    struct Sample
    {
        double seconds = 0;
        float voltage = 0;
        float current = 0;
        float power = 0;

        // A gap stands where the meter went away: a curve breaks there.
        static Sample gap(double seconds);
        bool isGap() const;
    };

    struct Range
    {
        float min = 0;
        float max = 0;
    };

    // What a stretch of time held: the extremes of each quantity over its
    // measurements, and whether a gap lies within it.
    struct Extent
    {
        double from = 0;
        double to = 0;
        qint64 count = 0;
        bool gap = false;
        Range voltage;
        Range current;
        Range power;

        void add(const Sample &sample);
        void add(const Extent &other);
    };

    using Visitor = std::function<void(const Sample &)>;

    static constexpr qint64 DefaultCapacity = 864000;

    explicit MeasurementHistory(qint64 capacity = DefaultCapacity,
        const QDateTime &startTime = QDateTime::currentDateTime());
    ~MeasurementHistory();

    QDateTime startTime() const { return m_startTime; }
    // The seconds of a sample taken now, or at a time on the measurements' monotonic clock.
    double elapsed() const;
    double secondsAt(qint64 monotonicNs) const;

    void append(const Sample &sample);
    // False once the oldest samples have been folded into the summary.
    bool isComplete() const { return m_summary.isEmpty(); }
    // Samples held at full resolution, gaps included.
    qint64 size() const { return m_size; }
    // The span held at full resolution; empty when size() is 0.
    double firstSeconds() const;
    double lastSeconds() const;

    // How many full-resolution samples lie in [from, to).
    qint64 countBetween(double from, double to) const
    {
        return firstIndexFrom(to) - firstIndexFrom(from);
    }
    // The full-resolution samples from `from` to `to` inclusive, oldest first.
    void visit(double from, double to, const Visitor &visitor) const;
    // [from, to) cut into `slotCount` equal slots, each summarised over the full
    // samples and the older summary alike; a slot with nothing has count 0.
    QVector<Extent> summary(double from, double to, int slotCount) const;

private:
    struct Chunk;

    const Sample sampleAt(qint64 index) const;
    qint64 firstIndexFrom(double seconds) const;
    void forget(const Chunk &chunk);
    void widenSummary();

    const qint64 m_capacity;
    const QDateTime m_startTime;
    const qint64 m_originNs;
    std::deque<std::unique_ptr<Chunk>> m_chunks;
    qint64 m_size = 0;
    // Older than the full samples: slots of m_slotSeconds, aligned on multiples of it.
    QVector<Extent> m_summary;
    double m_slotSeconds = 1;
};

#endif // MEASUREMENTHISTORY_H
