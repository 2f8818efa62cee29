// SPDX-License-Identifier: GPL-3.0-or-later
#include "metersimulator.h"

#include "meterprotocol.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>
#include <utility>

namespace {

// How long the serving thread may sleep in poll(): bounds the latency of stop()
// and of noticing the other end open or close the line.
const int PollSliceMs = 10;
const qint64 NsPerMs = 1000000;

using Lock = std::lock_guard<std::mutex>;

QByteArray junk()
{
    // Holds a lone 57, so a decoder has to look for the whole header.
    return QByteArray("\xA5\x57\x00", 3);
}

MeterSimulator::RequestKind kindOf(const QByteArray &frame)
{
    if (frame == MeterProtocol::measurementRequest())
        return MeterSimulator::MeasurementRequest;
    if (frame == MeterProtocol::calibrationRequest())
        return MeterSimulator::CalibrationRequest;
    return MeterSimulator::OtherBytes;
}

QString systemError(const char *what)
{
    return QStringLiteral("%1: %2").arg(
        QLatin1String(what), QString::fromLocal8Bit(strerror(errno)));
}

// The host's QSerialPort sets its own mode on open; raw from the start keeps the
// line discipline from echoing or translating anything before that.
bool makeRaw(const char *path)
{
    const int fd = ::open(path, O_RDWR | O_NOCTTY);
    if (fd < 0)
        return false;
    termios mode;
    bool done = tcgetattr(fd, &mode) == 0;
    if (done) {
        cfmakeraw(&mode);
        cfsetspeed(&mode, B115200);
        done = tcsetattr(fd, TCSANOW, &mode) == 0;
    }
    ::close(fd);
    return done;
}

} // namespace

MeterSimulator::MeterSimulator()
{
    m_clock.start();
}

MeterSimulator::~MeterSimulator()
{
    stop();
}

bool MeterSimulator::startOnPty()
{
    if (m_thread) {
        m_errorString = QStringLiteral("already serving");
        return false;
    }
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0) {
        m_errorString = systemError("posix_openpt");
        return false;
    }
    char path[128];
    if (grantpt(master) != 0 || unlockpt(master) != 0 || ptsname_r(master, path, sizeof path) != 0
        || !makeRaw(path)) {
        m_errorString = systemError("pseudo-terminal");
        ::close(master);
        return false;
    }
    fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);
    start(master);
    m_ownsFd = true;
    m_portName = QString::fromLocal8Bit(path);
    return true;
}

bool MeterSimulator::start(int fd)
{
    if (m_thread) {
        m_errorString = QStringLiteral("already serving");
        return false;
    }
    if (fd < 0) {
        m_errorString = QStringLiteral("no line to serve");
        return false;
    }
    m_fd = fd;
    m_stopping = false;
    m_thread.reset(new std::thread([this] { serve(); }));
    return true;
}

void MeterSimulator::stop()
{
    if (!m_thread)
        return;
    m_stopping = true;
    m_thread->join();
    m_thread.reset();
    if (m_ownsFd)
        ::close(m_fd);
    m_fd = -1;
    m_ownsFd = false;
    m_portName.clear();
}

QString MeterSimulator::portName() const
{
    return m_portName;
}

QString MeterSimulator::errorString() const
{
    return m_errorString;
}

void MeterSimulator::setProfile(const LoadProfile &profile)
{
    Lock lock(m_mutex);
    m_profile = profile;
}

void MeterSimulator::setCalibrationValue(quint16 value)
{
    Lock lock(m_mutex);
    m_calibrationValue = value;
}

void MeterSimulator::setFaults(const Faults &faults)
{
    setFaults(MeasurementRequest, faults);
    setFaults(CalibrationRequest, faults);
}

void MeterSimulator::setFaults(RequestKind kind, const Faults &faults)
{
    if (kind == OtherBytes)
        return;
    Lock lock(m_mutex);
    m_answering[kind].faults = faults;
    m_answering[kind].answersLeft = faults.answerLimit;
    m_answering[kind].faultyLeft = faults.faultLimit;
}

void MeterSimulator::clearFaults()
{
    setFaults(Faults());
}

void MeterSimulator::sendUnprompted(const QByteArray &bytes)
{
    Lock lock(m_mutex);
    m_unprompted.append(bytes);
}

int MeterSimulator::requestCount(RequestKind kind) const
{
    Lock lock(m_mutex);
    return m_counts[kind];
}

QVector<MeterSimulator::Request> MeterSimulator::requests() const
{
    Lock lock(m_mutex);
    return m_requests;
}

void MeterSimulator::clearRequests()
{
    Lock lock(m_mutex);
    m_requests.clear();
    std::fill(std::begin(m_counts), std::end(m_counts), 0);
}

qint64 MeterSimulator::elapsedMs() const
{
    return m_clock.elapsed();
}

bool MeterSimulator::isLineOpen() const
{
    Lock lock(m_mutex);
    return m_lineOpen;
}

int MeterSimulator::lineCloseCount() const
{
    Lock lock(m_mutex);
    return m_lineCloseCount;
}

void MeterSimulator::serve()
{
    while (!m_stopping) {
        pollfd line = {m_fd, POLLIN, 0};
        const int ready = ::poll(&line, 1, pollTimeout());
        if (ready < 0 && errno == EINTR)
            continue;
        if (line.revents & POLLIN)
            readLine();
        else
            setLineOpen(ready == 0);
        if (!isLineOpen())
            ::poll(nullptr, 0, PollSliceMs);
        giveUpIdleBytes();
        takeUnprompted();
        writeDueReplies();
    }
}

int MeterSimulator::pollTimeout() const
{
    qint64 timeout = PollSliceMs;
    const qint64 now = m_clock.nsecsElapsed();
    for (const Pending &pending : m_pending)
        timeout = qMin(timeout, (pending.dueNs - now + NsPerMs - 1) / NsPerMs);
    return int(qMax<qint64>(0, timeout));
}

void MeterSimulator::readLine()
{
    char buffer[512];
    const ssize_t size = ::read(m_fd, buffer, sizeof buffer);
    if (size > 0) {
        setLineOpen(true);
        receive(QByteArray(buffer, int(size)));
    } else if (size == 0 || (errno != EAGAIN && errno != EINTR)) {
        // EIO: nobody has the other side open (yet, or any more).
        setLineOpen(false);
    }
}

void MeterSimulator::receive(const QByteArray &bytes)
{
    m_received += bytes;
    m_lastReceivedMs = elapsedMs();
    takeFrames();
}

void MeterSimulator::takeFrames()
{
    const QByteArray header = MeterProtocol::header();
    while (!m_received.isEmpty()) {
        const int start = m_received.indexOf(header);
        if (start != 0) {
            // A trailing 57 may be the first half of a header still on its way.
            const int stray
                = start > 0 ? start : m_received.size() - int(m_received.endsWith('\x57'));
            if (stray == 0)
                return;
            handle(OtherBytes, m_received.left(stray));
            m_received.remove(0, stray);
            continue;
        }
        if (m_received.size() < MeterProtocol::HeaderSize)
            return;
        const int size
            = MeterProtocol::HeaderSize + quint8(m_received.at(3)) + MeterProtocol::CrcSize;
        if (m_received.size() < size)
            return;
        const QByteArray frame = m_received.left(size);
        m_received.remove(0, size);
        handle(kindOf(frame), frame);
    }
}

void MeterSimulator::giveUpIdleBytes()
{
    if (m_received.isEmpty() || elapsedMs() - m_lastReceivedMs < IdleLineMs)
        return;
    // Only the unfinished frame is given up: a request behind it still counts.
    const int next = m_received.indexOf(MeterProtocol::header(), 1);
    const int stale = next > 0 ? next : m_received.size();
    handle(OtherBytes, m_received.left(stale));
    m_received.remove(0, stale);
    takeFrames();
}

void MeterSimulator::handle(RequestKind kind, const QByteArray &bytes)
{
    Request request;
    request.kind = kind;
    request.bytes = bytes;
    request.atMs = elapsedMs();
    Faults faults;
    {
        Lock lock(m_mutex);
        ++m_counts[kind];
        if (kind != OtherBytes) {
            Answering &answering = m_answering[kind];
            faults = faultsFor(answering);
            // Made even when withheld, so the profile keeps pace with the requests.
            const QByteArray reply = replyTo(kind);
            if (!faults.silent && answering.answersLeft != 0) {
                if (answering.answersLeft > 0)
                    --answering.answersLeft;
                request.reply = withFaults(reply, faults);
            }
        }
        m_requests.append(request);
    }
    if (!request.reply.isEmpty())
        schedule(request.reply, faults);
}

MeterSimulator::Faults MeterSimulator::faultsFor(Answering &answering)
{
    if (answering.faultyLeft == 0)
        return Faults();
    if (answering.faultyLeft > 0)
        --answering.faultyLeft;
    return answering.faults;
}

QByteArray MeterSimulator::replyTo(RequestKind kind)
{
    if (kind == CalibrationRequest)
        return MeterProtocol::calibrationReply(m_calibrationValue);
    const MeterReading reading = m_profile.reading(m_measurementIndex++);
    return MeterProtocol::measurementReply(
        reading.microvolts, reading.microamperes, reading.microwatts);
}

QByteArray MeterSimulator::withFaults(QByteArray reply, const Faults &faults)
{
    if (faults.wrongCode) {
        const int payloadSize = reply.size() - MeterProtocol::HeaderSize - MeterProtocol::CrcSize;
        reply = MeterProtocol::frame(
            quint8(reply.at(2)) & 0x7F, reply.mid(MeterProtocol::HeaderSize, payloadSize));
    }
    if (faults.badCrc)
        reply[reply.size() - 1] = char(reply.at(reply.size() - 1) ^ 0xFF);
    if (faults.twoFrames)
        reply += reply;
    if (faults.junkBeforeHeader)
        reply.prepend(junk());
    return reply;
}

void MeterSimulator::schedule(const QByteArray &reply, const Faults &faults)
{
    const qint64 due = m_clock.nsecsElapsed() + qMax(0, faults.replyDelayMs) * NsPerMs;
    if (!faults.splitFrame) {
        m_pending.append({due, reply});
        return;
    }
    const int half = reply.size() / 2;
    m_pending.append({due, reply.left(half)});
    m_pending.append({due + SplitGapMs * NsPerMs, reply.mid(half)});
}

void MeterSimulator::takeUnprompted()
{
    QVector<QByteArray> unprompted;
    {
        Lock lock(m_mutex);
        unprompted.swap(m_unprompted);
    }
    for (const QByteArray &bytes : std::as_const(unprompted))
        m_pending.append({m_clock.nsecsElapsed(), bytes});
}

void MeterSimulator::writeDueReplies()
{
    // Bytes written now would wait in the terminal for whoever opens it next.
    const bool open = isLineOpen();
    const qint64 now = m_clock.nsecsElapsed();
    for (int i = 0; i < m_pending.size();) {
        if (m_pending.at(i).dueNs > now) {
            ++i;
            continue;
        }
        if (open)
            writeAll(m_pending.at(i).bytes);
        m_pending.remove(i);
    }
}

void MeterSimulator::writeAll(const QByteArray &bytes)
{
    int written = 0;
    while (written < bytes.size() && !m_stopping) {
        const ssize_t size
            = ::write(m_fd, bytes.constData() + written, size_t(bytes.size() - written));
        if (size > 0) {
            written += int(size);
            continue;
        }
        if (size < 0 && errno == EINTR)
            continue;
        pollfd line = {m_fd, POLLOUT, 0};
        if (size < 0 && errno == EAGAIN && ::poll(&line, 1, PollSliceMs) > 0)
            continue;
        return; // the line is gone, and the reply with it
    }
}

void MeterSimulator::setLineOpen(bool open)
{
    {
        Lock lock(m_mutex);
        if (m_lineOpen == open)
            return;
        m_lineOpen = open;
        if (!open)
            ++m_lineCloseCount;
    }
    if (open)
        return;
    // Whatever was meant for the last user of the line must not reach the next one.
    m_pending.clear();
    m_received.clear();
    tcflush(m_fd, TCIOFLUSH);
}
