#ifndef METERREQUESTS_H
#define METERREQUESTS_H

#include "metersimulator.h"

#include <QVector>

#include <algorithm>

// Reading what a simulated meter was asked, to tell from the outside what the
// program is doing with it. The handshake is a measurement request too; after
// the calibration request, every measurement request is a poll.
namespace MeterRequests {

inline QVector<MeterSimulator::RequestKind> kinds(const MeterSimulator &line)
{
    QVector<MeterSimulator::RequestKind> kinds;
    for (const MeterSimulator::Request &request : line.requests())
        kinds << request.kind;
    return kinds;
}

// The arrival times of the polls, on the simulator's clock.
inline QVector<qint64> pollTimes(const MeterSimulator &line)
{
    QVector<qint64> times;
    bool calibrated = false;
    for (const MeterSimulator::Request &request : line.requests()) {
        if (request.kind == MeterSimulator::CalibrationRequest)
            calibrated = true;
        else if (calibrated && request.kind == MeterSimulator::MeasurementRequest)
            times << request.atMs;
    }
    return times;
}

inline int pollCount(const MeterSimulator &line)
{
    return pollTimes(line).size();
}

// The program got through the handshake and the calibration read and polls.
inline bool isPolled(const MeterSimulator &line, int polls = 3)
{
    return pollCount(line) >= polls;
}

// The middle gap between successive polls, in ms: robust against the odd late
// timer on a busy machine; 0 with fewer than two polls.
inline qint64 medianPollIntervalMs(const MeterSimulator &line)
{
    const QVector<qint64> times = pollTimes(line);
    QVector<qint64> gaps;
    for (int i = 1; i < times.size(); ++i)
        gaps << times.at(i) - times.at(i - 1);
    if (gaps.isEmpty())
        return 0;
    std::nth_element(gaps.begin(), gaps.begin() + gaps.size() / 2, gaps.end());
    return gaps.at(gaps.size() / 2);
}

} // namespace MeterRequests

#endif // METERREQUESTS_H
