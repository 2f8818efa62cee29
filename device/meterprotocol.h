// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef METERPROTOCOL_H
#define METERPROTOCOL_H

#include <QByteArray>
#include <QString>
#include <QVector>
#include <QtGlobal>

// The current meter's byte-level rules, with no I/O and no state: the device
// decodes with them and the meter simulator answers with them.
//
// Every frame, both ways: 57 AB, a command code, a payload length, the payload
// (big-endian numbers), then the CRC-16/MODBUS of everything before it, low byte
// first. A reply carries its request's code with bit 0x80 set.
namespace MeterProtocol {

enum Code : quint8 {
    CalibrationCode = 0x02,
    MeasurementCode = 0x03,
    CalibrationReplyCode = 0x82,
    MeasurementReplyCode = 0x83,
    ErrorReplyCode = 0xC2,
};

enum Size : int {
    HeaderSize = 4, // 57 AB, code, length
    CrcSize = 2,
    RequestSize = 6,
    AcknowledgementSize = 7,
    CalibrationReplySize = 10,
    MeasurementReplySize = 18,
    // The longest reply's payload: a length byte above it cannot be one of the meter's.
    LongestPayload = MeasurementReplySize - HeaderSize - CrcSize,
};

QByteArray header();
QByteArray measurementRequest();
QByteArray calibrationRequest();

quint16 crc16Modbus(const QByteArray &bytes);
// Header, code, length and payload, closed by the CRC.
QByteArray frame(quint8 code, const QByteArray &payload);

// Replies as the meter sends them. A reading is in micro-units (µV, µA, µW).
QByteArray measurementReply(quint32 microvolts, quint32 microamperes, quint32 microwatts);
QByteArray calibrationReply(quint16 value);
QByteArray acknowledgement(bool success);

// One micro-unit reading as the displays get it: computed in double, narrowed to float.
float fromMicro(quint32 raw);

struct Reply
{
    // ParameterSet and CommandError are the seven-byte acknowledgements
    // 57 AB 82 01 00 and 57 AB C2 01 xx, each followed by its CRC.
    enum Type { Dropped, Measurement, Calibration, ParameterSet, CommandError };

    Type type = Dropped;
    float voltage = 0;
    float current = 0;
    float power = 0;
    quint16 calibrationValue = 0;
    QByteArray frame; // header to CRC
};

// What one pass over the bytes received so far gave: the whole, intact frames in
// order, and how many frames were thrown away as corrupted.
struct Frames
{
    QVector<Reply> replies;
    int dropped = 0;
};

// Cuts every whole frame off the front of `received`, by header and length byte.
// Bytes before a header are skipped; an unfinished frame stays in `received` for
// the next read. A frame whose CRC does not match, or whose length byte is longer
// than any reply, gives up only its header (at once: its length is not waited
// for), so a good frame hidden behind a corrupted length is still found.
Frames takeFrames(QByteArray &received);
Reply decodeFrame(const QByteArray &frame);
bool hasValidCrc(const QByteArray &frame);

// The open-time checks take the reply exactly as received, with no header search,
// but never a reply whose CRC does not match.
bool isHandshakeReply(const QByteArray &reply);
bool isCalibrationReply(const QByteArray &reply);
quint16 calibrationValue(const QByteArray &calibrationReply);

// "57 AB 03 00 61 40", as log lines show bytes.
QString hex(const QByteArray &bytes);

} // namespace MeterProtocol

#endif // METERPROTOCOL_H
