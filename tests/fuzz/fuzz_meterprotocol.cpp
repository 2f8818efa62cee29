// SPDX-License-Identifier: GPL-3.0-or-later
#include "meterprotocol.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// Feeds one arbitrary data-ready chunk to the decoder and to the open-time
// checks. Besides not crashing, the decoder must keep its promises: what it
// accepts is a suffix of the chunk starting at the first header, of the size
// its type requires.
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
    const MeterProtocol::Reply reply = MeterProtocol::decodeChunk(chunk);
    if (reply.type == MeterProtocol::Reply::Dropped)
        return;
    check(reply.frame.size() == expectedSize(reply.type), "a frame of its type's size");
    check(chunk.indexOf(MeterProtocol::header()) == chunk.size() - reply.frame.size(),
        "the frame runs from the first header to the end of the chunk");
    if (reply.type == MeterProtocol::Reply::Measurement)
        check(reply.voltage >= 0 && reply.voltage <= 4294.9673f, "a voltage the meter can send");
}

void checkOpenTime(const QByteArray &chunk)
{
    if (MeterProtocol::isHandshakeReply(chunk))
        check(MeterProtocol::decodeChunk(chunk).type == MeterProtocol::Reply::Measurement,
            "a handshake reply is a measurement");
    if (MeterProtocol::isCalibrationReply(chunk) && chunk.startsWith(MeterProtocol::header()))
        check(MeterProtocol::decodeChunk(chunk).type == MeterProtocol::Reply::Calibration,
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
