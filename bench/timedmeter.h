// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef TIMEDMETER_H
#define TIMEDMETER_H

#include <QString>
#include <QVector>
#include <QtGlobal>

#include <QByteArray>

#include <atomic>
#include <memory>
#include <thread>

// A meter on a pseudo-terminal that notes, for every measurement frame, the
// moment its write returned, so that a benchmark can time the frame's way up to
// the GUI thread. Frame n carries n + 1 millivolts, which survive the float
// narrowing exactly and name the frame on arrival; current and power follow the
// bench load profile, so the dials visit all their ranges.
//
// The times are steady_clock nanoseconds, the clock nowNs() reads.
class TimedMeter
{
public:
    TimedMeter();
    ~TimedMeter();
    TimedMeter(const TimedMeter &) = delete;
    TimedMeter &operator=(const TimedMeter &) = delete;

    bool start();
    // Joins the serving thread; writtenAtNs() may be read afterwards.
    void stop();
    QString portName() const { return m_portName; }

    static qint64 nowNs();
    // The frame a voltage names; -1 for anything not sent by this meter (zeros).
    static int frameOf(float voltage);

    struct Latencies
    {
        int frames = 0; // written and seen arrive, after the warm-up
        int lost = 0; // written after the warm-up, never seen arrive, though a later one did
        double medianUs = 0;
        double p99Us = 0;
        double maxUs = 0;
    };

    int framesWritten() const { return m_framesWritten.load(); }
    // Call after stop(). arrivedAtNs[n] is when frame n reached its receiver (0:
    // never). Frames before firstFrame (the handshake's among them) and from
    // endFrame on are left out; endFrame -1 takes all.
    Latencies latencies(
        const QVector<qint64> &arrivedAtNs, int firstFrame, int endFrame = -1) const;

private:
    void serve();
    void answer(const QByteArray &request);
    void writeFrame(const QByteArray &frame);

    int m_fd = -1;
    QString m_portName;
    std::unique_ptr<std::thread> m_thread;
    std::atomic<bool> m_stopping {false};
    std::atomic<int> m_framesWritten {0};

    // Touched by the serving thread only until stop() has joined it.
    QByteArray m_received;
    QVector<qint64> m_writtenAtNs;
};

#endif // TIMEDMETER_H
