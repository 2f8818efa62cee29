// SPDX-License-Identifier: GPL-3.0-or-later
#include "meterprotocol.h"

namespace MeterProtocol {

namespace {

// Acknowledgements are the only seven-byte frames: 57 AB, code, length 01, one
// status byte, CRC. Both content patterns are matched from offset 3, right after
// the code byte: success (code 0x82) is "01 00", length 1 and status 0; an error
// (code 0xC2) is "01", length 1, whatever status it reports, since the code
// already says what happened.
const int AcknowledgementPatternOffset = 3;
const char SuccessPattern[] = {0x01, 0x00};
const char ErrorPattern[] = {0x01};

quint8 byteAt(const QByteArray &bytes, int index)
{
    return static_cast<quint8>(bytes.at(index));
}

quint16 bigEndian16(const QByteArray &bytes, int offset)
{
    return quint16(byteAt(bytes, offset) << 8 | byteAt(bytes, offset + 1));
}

quint32 bigEndian32(const QByteArray &bytes, int offset)
{
    return quint32(bigEndian16(bytes, offset)) << 16 | bigEndian16(bytes, offset + 2);
}

void appendBigEndian(QByteArray &bytes, quint32 value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        bytes.append(char(value >> shift & 0xFF));
}

bool hasPatternAt(const QByteArray &frame, const char *pattern, int size)
{
    return frame.mid(AcknowledgementPatternOffset, size) == QByteArray::fromRawData(pattern, size);
}

Reply measurement(const QByteArray &frame)
{
    Reply reply;
    reply.type = Reply::Measurement;
    reply.voltage = fromMicro(bigEndian32(frame, 4));
    reply.current = fromMicro(bigEndian32(frame, 8));
    reply.power = fromMicro(bigEndian32(frame, 12));
    return reply;
}

Reply calibration(const QByteArray &frame)
{
    Reply reply;
    reply.type = Reply::Calibration;
    reply.calibrationValue = calibrationValue(frame);
    return reply;
}

Reply::Type acknowledgementType(const QByteArray &frame)
{
    const quint8 code = byteAt(frame, 2);
    if (code == CalibrationReplyCode && hasPatternAt(frame, SuccessPattern, sizeof SuccessPattern))
        return Reply::ParameterSet;
    if (code == ErrorReplyCode && hasPatternAt(frame, ErrorPattern, sizeof ErrorPattern))
        return Reply::CommandError;
    return Reply::Dropped;
}

} // namespace

QByteArray header()
{
    return QByteArray("\x57\xAB", 2);
}

QByteArray measurementRequest()
{
    return QByteArray("\x57\xAB\x03\x00\x61\x40", RequestSize);
}

QByteArray calibrationRequest()
{
    return QByteArray("\x57\xAB\x02\x00\x60\xD0", RequestSize);
}

quint16 crc16Modbus(const QByteArray &bytes)
{
    quint16 crc = 0xFFFF;
    for (const char byte : bytes) {
        crc ^= static_cast<quint8>(byte);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? quint16(crc >> 1 ^ 0xA001) : quint16(crc >> 1);
    }
    return crc;
}

QByteArray frame(quint8 code, const QByteArray &payload)
{
    QByteArray bytes = header();
    bytes.append(char(code));
    bytes.append(char(payload.size()));
    bytes.append(payload);
    const quint16 crc = crc16Modbus(bytes);
    bytes.append(char(crc & 0xFF));
    bytes.append(char(crc >> 8));
    return bytes;
}

QByteArray measurementReply(quint32 microvolts, quint32 microamperes, quint32 microwatts)
{
    QByteArray payload;
    appendBigEndian(payload, microvolts);
    appendBigEndian(payload, microamperes);
    appendBigEndian(payload, microwatts);
    return frame(MeasurementReplyCode, payload);
}

QByteArray calibrationReply(quint16 value)
{
    // Bytes 4 and 5 are never read by the host; the meter's meaning for them is its own.
    QByteArray payload(2, '\0');
    payload.append(char(value >> 8));
    payload.append(char(value & 0xFF));
    return frame(CalibrationReplyCode, payload);
}

QByteArray acknowledgement(bool success)
{
    return frame(success ? CalibrationReplyCode : ErrorReplyCode, QByteArray(1, success ? 0 : 1));
}

float fromMicro(quint32 raw)
{
    return static_cast<float>(raw / 1000.0 / 1000.0);
}

Reply decodeFrame(const QByteArray &frame)
{
    const int size = frame.size();
    const quint8 code = size > 2 ? byteAt(frame, 2) : 0;
    // The frame was cut by its length byte; the total size and the code decide what it is.
    if (size == MeasurementReplySize && code == MeasurementReplyCode)
        return measurement(frame);
    if (size == CalibrationReplySize && code == CalibrationReplyCode)
        return calibration(frame);
    Reply reply;
    if (size == AcknowledgementSize)
        reply.type = acknowledgementType(frame);
    return reply;
}

bool hasValidCrc(const QByteArray &frame)
{
    const int size = frame.size();
    if (size < HeaderSize + CrcSize)
        return false;
    const quint16 crc = crc16Modbus(frame.left(size - CrcSize));
    return byteAt(frame, size - 2) == (crc & 0xFF) && byteAt(frame, size - 1) == crc >> 8;
}

Frames takeFrames(QByteArray &received)
{
    Frames frames;
    int start = 0;
    while ((start = received.indexOf(header(), start)) >= 0) {
        if (received.size() - start < HeaderSize)
            break;
        const int length = byteAt(received, start + 3);
        const int size = HeaderSize + length + CrcSize;
        if (length <= LongestPayload && received.size() - start < size)
            break;
        const QByteArray frame = received.mid(start, size);
        if (length > LongestPayload || !hasValidCrc(frame)) {
            ++frames.dropped;
            start += header().size();
            continue;
        }
        Reply reply = decodeFrame(frame);
        reply.frame = frame;
        frames.replies.append(reply);
        start += size;
    }
    // With no header left, only a trailing 57 may still begin one.
    if (start < 0)
        start = received.endsWith('\x57') ? received.size() - 1 : received.size();
    received.remove(0, start);
    return frames;
}

bool isHandshakeReply(const QByteArray &reply)
{
    return reply.size() == MeasurementReplySize
        && reply.startsWith(QByteArray("\x57\xAB\x83\x0C", HeaderSize)) && hasValidCrc(reply);
}

bool isCalibrationReply(const QByteArray &reply)
{
    return reply.size() == CalibrationReplySize && byteAt(reply, 2) == CalibrationReplyCode
        && hasValidCrc(reply);
}

quint16 calibrationValue(const QByteArray &calibrationReply)
{
    return bigEndian16(calibrationReply, 6);
}

QString hex(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}

} // namespace MeterProtocol
