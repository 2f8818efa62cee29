// SPDX-License-Identifier: GPL-3.0-or-later
#include "timedmeter.h"

#include "loadprofile.h"
#include "meterprotocol.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>
#include <vector>

namespace {

// Bounds how long stop() waits for the serving thread.
const int PollSliceMs = 20;

// QSerialPort sets its own mode on open; raw from the start keeps the line
// discipline from echoing the requests back before that.
bool makeRaw(const char *path)
{
    const int fd = ::open(path, O_RDWR | O_NOCTTY);
    if (fd < 0)
        return false;
    termios mode;
    bool done = tcgetattr(fd, &mode) == 0;
    if (done) {
        cfmakeraw(&mode);
        done = tcsetattr(fd, TCSANOW, &mode) == 0;
    }
    ::close(fd);
    return done;
}

} // namespace

TimedMeter::TimedMeter() = default;

TimedMeter::~TimedMeter()
{
    stop();
    if (m_fd >= 0)
        ::close(m_fd);
}

bool TimedMeter::start()
{
    m_fd = posix_openpt(O_RDWR | O_NOCTTY);
    if (m_fd < 0)
        return false;
    char path[128];
    if (grantpt(m_fd) != 0 || unlockpt(m_fd) != 0 || ptsname_r(m_fd, path, sizeof path) != 0
        || !makeRaw(path))
        return false;
    m_portName = QString::fromLocal8Bit(path);
    m_thread.reset(new std::thread([this] { serve(); }));
    return true;
}

void TimedMeter::stop()
{
    if (!m_thread)
        return;
    m_stopping = true;
    m_thread->join();
    m_thread.reset();
}

qint64 TimedMeter::nowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
        std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

int TimedMeter::frameOf(float voltage)
{
    const long millivolts = std::lround(double(voltage) * 1000.0);
    return millivolts > 0 ? int(millivolts - 1) : -1;
}

TimedMeter::Latencies TimedMeter::latencies(
    const QVector<qint64> &arrivedAtNs, int firstFrame, int endFrame) const
{
    Latencies result;
    int end = std::min(m_writtenAtNs.size(), arrivedAtNs.size());
    if (endFrame >= 0)
        end = std::min(end, endFrame);
    // A frame still on its way when the run ended is not lost.
    while (end > 0 && arrivedAtNs.at(end - 1) == 0)
        --end;
    std::vector<double> us;
    for (int frame = firstFrame; frame < end; ++frame) {
        const qint64 arrived = arrivedAtNs.at(frame);
        if (arrived == 0)
            ++result.lost;
        else
            us.push_back((arrived - m_writtenAtNs.at(frame)) / 1000.0);
    }
    if (us.empty())
        return result;
    std::sort(us.begin(), us.end());
    result.frames = int(us.size());
    result.medianUs = us.at(us.size() / 2);
    result.p99Us = us.at(std::min(us.size() - 1, size_t(std::ceil(us.size() * 0.99)) - 1));
    result.maxUs = us.back();
    return result;
}

void TimedMeter::serve()
{
    while (!m_stopping) {
        pollfd line = {m_fd, POLLIN, 0};
        if (::poll(&line, 1, PollSliceMs) <= 0)
            continue;
        char buffer[256];
        const ssize_t size = ::read(m_fd, buffer, sizeof buffer);
        if (size <= 0) {
            // EIO while the program does not hold the line open: just keep watching.
            ::poll(nullptr, 0, PollSliceMs);
            continue;
        }
        m_received.append(buffer, int(size));
        int start;
        while ((start = m_received.indexOf(MeterProtocol::header())) >= 0
            && m_received.size() - start >= MeterProtocol::RequestSize) {
            answer(m_received.mid(start, MeterProtocol::RequestSize));
            m_received.remove(0, start + MeterProtocol::RequestSize);
        }
    }
}

void TimedMeter::answer(const QByteArray &request)
{
    if (request == MeterProtocol::calibrationRequest()) {
        writeFrame(MeterProtocol::calibrationReply(1000));
        return;
    }
    if (request != MeterProtocol::measurementRequest())
        return;
    static const LoadProfile profile = LoadProfile::bench();
    const int frame = m_writtenAtNs.size();
    const MeterReading reading = profile.reading(quint64(frame));
    writeFrame(MeterProtocol::measurementReply(
        quint32(frame + 1) * 1000, reading.microamperes, reading.microwatts));
    m_writtenAtNs.append(nowNs());
    ++m_framesWritten;
}

void TimedMeter::writeFrame(const QByteArray &frame)
{
    int written = 0;
    while (written < frame.size()) {
        const ssize_t size
            = ::write(m_fd, frame.constData() + written, size_t(frame.size() - written));
        if (size <= 0)
            return;
        written += int(size);
    }
}
