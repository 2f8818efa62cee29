// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef METERREQUESTS_H
#define METERREQUESTS_H

#include "metersimulator.h"

#include <QVector>

#include <algorithm>

// What a simulated meter was asked. The handshake is a measurement request too;
// after the calibration request, every measurement request is a poll.
namespace MeterRequests {

inline QVector<MeterSimulator::RequestKind> kinds(const MeterSimulator &line)
{
    QVector<MeterSimulator::RequestKind> kinds;
    for (const MeterSimulator::Request &request : line.requests())
        kinds << request.kind;
    return kinds;
}

// Arrival times on the simulator's clock: of the polls, or of the requests before the first
// calibration request (the handshakes) when handshakes is set.
inline QVector<qint64> times(const MeterSimulator &line, bool handshakes = false)
{
    QVector<qint64> times;
    bool calibrated = false;
    for (const MeterSimulator::Request &request : line.requests()) {
        calibrated = calibrated || request.kind == MeterSimulator::CalibrationRequest;
        if (request.kind == MeterSimulator::MeasurementRequest && calibrated != handshakes)
            times << request.atMs;
    }
    return times;
}

inline int pollCount(const MeterSimulator &line)
{
    return times(line).size();
}

inline bool isPolled(const MeterSimulator &line, int polls = 3)
{
    return pollCount(line) >= polls;
}

// The middle gap between successive requests, in ms, robust against the odd late timer on a
// busy machine; 0 with fewer than two.
inline qint64 medianGapMs(const QVector<qint64> &times)
{
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
