// SPDX-License-Identifier: GPL-3.0-or-later
#include "meterprotocol.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// Feeds one arbitrary data-ready chunk to the frame cutter and to the open-time
// checks. Besides not crashing, the cutter must keep its promises: what it
// accepts is a piece of the chunk with a matching CRC, of the size its type
// requires, and what it keeps for the next read is the start of a frame.
namespace {

void check(bool condition, const char *promise)
{
    if (condition)
        return;
    std::fprintf(stderr, "meter protocol broke its promise: %s\n", promise);
    std::abort();
}

int expectedSize(MeterProtocol::Reply::Type type)
{
    switch (type) {
    case MeterProtocol::Reply::Measurement:
        return MeterProtocol::MeasurementReplySize;
    case MeterProtocol::Reply::Calibration:
        return MeterProtocol::CalibrationReplySize;
    case MeterProtocol::Reply::ParameterSet:
    case MeterProtocol::Reply::CommandError:
        return MeterProtocol::AcknowledgementSize;
    case MeterProtocol::Reply::Dropped:
        break;
    }
    return -1;
}

void checkDecoded(const QByteArray &chunk)
{
    QByteArray received = chunk;
    const MeterProtocol::Frames frames = MeterProtocol::takeFrames(received);
    check(chunk.endsWith(received), "what is kept is the end of the chunk");
    check(received.size() <= 1 || received.startsWith(MeterProtocol::header()),
        "what is kept starts a frame");
    for (const MeterProtocol::Reply &reply : frames.replies) {
        check(chunk.contains(reply.frame) && MeterProtocol::hasValidCrc(reply.frame),
            "a frame of the chunk with its CRC");
        if (reply.type != MeterProtocol::Reply::Dropped)
            check(reply.frame.size() == expectedSize(reply.type), "a frame of its type's size");
        if (reply.type == MeterProtocol::Reply::Measurement)
            check(
                reply.voltage >= 0 && reply.voltage <= 4294.9673f, "a voltage the meter can send");
    }
}

void checkOpenTime(const QByteArray &chunk)
{
    QByteArray received = chunk;
    const QVector<MeterProtocol::Reply> replies = MeterProtocol::takeFrames(received).replies;
    const MeterProtocol::Reply::Type first
        = replies.isEmpty() ? MeterProtocol::Reply::Dropped : replies.constFirst().type;
    if (MeterProtocol::isHandshakeReply(chunk))
        check(first == MeterProtocol::Reply::Measurement, "a handshake reply is a measurement");
    if (MeterProtocol::isCalibrationReply(chunk) && chunk.startsWith(MeterProtocol::header()))
        check(first == MeterProtocol::Reply::Calibration,
            "a calibration reply with its header decodes as one");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray chunk(reinterpret_cast<const char *>(data), int(size));
    checkDecoded(chunk);
    checkOpenTime(chunk);
    const int hexSize = MeterProtocol::hex(chunk).size();
    check(hexSize == (chunk.isEmpty() ? 0 : 3 * chunk.size() - 1), "two digits a byte, spaced");
    return 0;
}
