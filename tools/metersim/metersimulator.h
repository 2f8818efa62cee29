// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef METERSIMULATOR_H
#define METERSIMULATOR_H

#include "loadprofile.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QString>
#include <QVector>

#include <atomic>
#include <memory>
#include <mutex>
#include <thread>

// A current meter at the far end of a serial line, answering on a thread of its
// own: the measurement request (57 AB 03 00 61 40) gets an 18-byte measurement
// frame from the load profile, the calibration request (57 AB 02 00 60 D0) a
// 10-byte calibration reply; anything else is recorded and left unanswered.
//
// The line is a file descriptor: a pseudo-terminal made by startOnPty(), whose
// portName() a QSerialPort can open, or an existing far end handed to start(),
// such as a umockdev testbed's host end of an emulated tty. While nobody has the
// line open, reads fail (EIO) and the simulator just keeps watching; replies
// still pending when the other end closes are dropped, as they would be on a
// cable that has been pulled.
//
// Every setter and accessor is thread-safe and may be called while serving.
class MeterSimulator
{
public:
    enum RequestKind { MeasurementRequest, CalibrationRequest, OtherBytes };

    // What arrived, when (on elapsedMs()'s clock), and the bytes it was answered
    // with (empty when unanswered).
    struct Request
    {
        RequestKind kind = OtherBytes;
        QByteArray bytes;
        qint64 atMs = 0;
        QByteArray reply;
    };

    // Ways to answer badly, for the replies to one kind of request; they combine.
    struct Faults
    {
        bool silent = false; // never answer
        int replyDelayMs = 0; // answer this long after the request arrived
        bool junkBeforeHeader = false; // three stray bytes (A5 57 00) ahead of the reply
        bool splitFrame = false; // the reply in two writes, SplitGapMs apart
        bool twoFrames = false; // the reply twice over, in one write
        bool badCrc = false; // the last CRC byte inverted
        bool wrongCode = false; // the request's own code, without the reply bit (CRC kept right)
        int answerLimit = -1; // answer only this many more requests; negative: no limit
        // The faults above touch only this many more requests, later ones are
        // answered soundly; negative: all of them.
        int faultLimit = -1;
    };

    // Long enough for the two halves to reach the host as two data-ready
    // notifications, short enough to land before the next 100 ms poll.
    static const int SplitGapMs = 50;
    // An unfinished frame is given up (recorded as OtherBytes) after this much
    // silence, the way a UART's idle-line detection ends a message; a request
    // that arrived behind it is answered then.
    static const int IdleLineMs = 50;

    MeterSimulator();
    ~MeterSimulator();
    MeterSimulator(const MeterSimulator &) = delete;
    MeterSimulator &operator=(const MeterSimulator &) = delete;

    // Creates a pseudo-terminal in raw mode and serves its master side;
    // portName() is then the path of the other side (e.g. "/dev/pts/5").
    bool startOnPty();
    // Serves fd, which stays the caller's and must stay open until stop().
    bool start(int fd);
    // Stops serving and joins the thread; also done by the destructor.
    void stop();
    QString portName() const;
    QString errorString() const;

    void setProfile(const LoadProfile &profile);
    void setCalibrationValue(quint16 value);
    // For the replies to both requests; starts a fresh answer limit.
    void setFaults(const Faults &faults);
    void setFaults(RequestKind kind, const Faults &faults);
    void clearFaults();
    // Sends bytes at once, as if the meter spoke up by itself; dropped while
    // nobody has the line open.
    void sendUnprompted(const QByteArray &bytes);

    int requestCount(RequestKind kind) const;
    QVector<Request> requests() const;
    void clearRequests();
    // Milliseconds since construction: the clock of Request::atMs.
    qint64 elapsedMs() const;

    // Whether the other end has the line open, as last seen. Nothing is written
    // to the line while it is not.
    bool isLineOpen() const;
    // How often the other end has closed the line after having it open.
    int lineCloseCount() const;

private:
    struct Pending
    {
        // Nanoseconds, so that a delay is never cut short by rounding to milliseconds.
        qint64 dueNs;
        QByteArray bytes;
    };
    struct Answering
    {
        Faults faults;
        int answersLeft = -1;
        int faultyLeft = -1;
    };

    void serve();
    int pollTimeout() const;
    void readLine();
    void receive(const QByteArray &bytes);
    void takeFrames();
    void giveUpIdleBytes();
    void handle(RequestKind kind, const QByteArray &bytes);
    Faults faultsFor(Answering &answering);
    QByteArray replyTo(RequestKind kind);
    static QByteArray withFaults(QByteArray reply, const Faults &faults);
    void schedule(const QByteArray &reply, const Faults &faults);
    void takeUnprompted();
    void writeDueReplies();
    void writeAll(const QByteArray &bytes);
    void setLineOpen(bool open);

    QElapsedTimer m_clock;
    int m_fd = -1;
    bool m_ownsFd = false;
    QString m_portName;
    QString m_errorString;
    std::unique_ptr<std::thread> m_thread;
    std::atomic<bool> m_stopping {false};

    mutable std::mutex m_mutex;
    LoadProfile m_profile = LoadProfile::bench();
    quint16 m_calibrationValue = 1000;
    Answering m_answering[2];
    QVector<Request> m_requests;
    QVector<QByteArray> m_unprompted;
    int m_counts[3] = {};
    quint64 m_measurementIndex = 0;
    bool m_lineOpen = false;
    int m_lineCloseCount = 0;

    // Touched by the serving thread only.
    QByteArray m_received;
    qint64 m_lastReceivedMs = 0;
    QVector<Pending> m_pending;
};

#endif // METERSIMULATOR_H
