// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef METERREQUESTS_H
#define METERREQUESTS_H

#include "metersimulator.h"

#include <QVector>

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

// The mean gap over the whole run of requests, in ms; 0 with fewer than two.
inline double meanGapMs(const QVector<qint64> &times)
{
    if (times.size() < 2)
        return 0;
    return double(times.constLast() - times.constFirst()) / (times.size() - 1);
}

} // namespace MeterRequests

#endif // METERREQUESTS_H
