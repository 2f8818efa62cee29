// SPDX-License-Identifier: GPL-3.0-or-later
#include "meterprotocol.h"

#include <QtTest>

using MeterProtocol::Reply;

Q_DECLARE_METATYPE(Reply::Type)

namespace {

const QByteArray Example = QByteArray::fromHex("57AB830C004C4B40000186A00007A120D69B");

QByteArray bytes(const char *hex)
{
    return QByteArray::fromHex(hex);
}

QByteArray withCode(QByteArray frame, quint8 code)
{
    frame[2] = char(code);
    return frame;
}

} // namespace

class TestMeterProtocol : public QObject
{
    Q_OBJECT

private slots:
    void framesCarryTheirCrc_data()
    {
        QTest::addColumn<QByteArray>("built");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("measurement request")
            << MeterProtocol::measurementRequest() << bytes("57AB03006140");
        QTest::newRow("calibration request")
            << MeterProtocol::calibrationRequest() << bytes("57AB020060D0");
        QTest::newRow("example measurement reply")
            << MeterProtocol::measurementReply(5000000, 100000, 500000) << Example;
    }
    void framesCarryTheirCrc()
    {
        QFETCH(QByteArray, built);
        QFETCH(QByteArray, expected);
        QCOMPARE(built.toHex(' '), expected.toHex(' '));
    }
    void decodeChunk_data()
    {
        QTest::addColumn<QByteArray>("chunk");
        QTest::addColumn<Reply::Type>("type");
        QTest::addColumn<float>("voltage");
        QTest::addColumn<float>("current");
        QTest::addColumn<float>("power");
        QTest::addColumn<int>("calibrationValue");
        const auto measurement
            = [](const char *name, const QByteArray &chunk, float v, float c, float p) {
                  QTest::newRow(name) << chunk << Reply::Measurement << v << c << p << 0;
              };
        const auto other = [](const char *name, const QByteArray &chunk, Reply::Type type,
                               int calibrationValue = 0) {
            QTest::newRow(name) << chunk << type << 0.0f << 0.0f << 0.0f << calibrationValue;
        };
        const float max = float(4294.967295);
        const QByteArray calibration = MeterProtocol::calibrationReply(0x1234);
        const QByteArray success = MeterProtocol::acknowledgement(true);
        const QByteArray error = MeterProtocol::acknowledgement(false);
        measurement("example frame", Example, 5.0f, 0.1f, 0.5f);
        measurement("raw 0xFFFFFFFF",
            MeterProtocol::measurementReply(0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF), max, max, max);
        measurement(
            "one micro-unit", MeterProtocol::measurementReply(1, 1, 1), 1e-6f, 1e-6f, 1e-6f);
        measurement("junk before the header", bytes("00FF1357") + Example, 5.0f, 0.1f, 0.5f);
        measurement("bad crc is not checked", Example.left(16) + bytes("0000"), 5.0f, 0.1f, 0.5f);
        other("two frames in one chunk", Example + Example, Reply::Dropped);
        other("first half of a frame", Example.left(9), Reply::Dropped);
        other("trailing byte", Example + bytes("00"), Reply::Dropped);
        other("measurement with the request's code", withCode(Example, 0x03), Reply::Dropped);
        other("calibration", calibration, Reply::Calibration, 0x1234);
        other(
            "calibration size with measurement code", withCode(calibration, 0x83), Reply::Dropped);
        other("success acknowledgement", success, Reply::ParameterSet);
        other("error acknowledgement", error, Reply::CommandError);
        other("error with another status", bytes("57ABC201050000"), Reply::CommandError);
        other("empty", QByteArray(), Reply::Dropped);
        other("header cut after 57", bytes("0057"), Reply::Dropped);
    }
    void decodeChunk()
    {
        QFETCH(QByteArray, chunk);
        QFETCH(Reply::Type, type);
        const Reply reply = MeterProtocol::decodeChunk(chunk);
        QCOMPARE(reply.type, type);
        // Exact: the float must be the one nearest to raw / 1e6, not merely close to it.
        QTEST(reply.voltage, "voltage");
        QTEST(reply.current, "current");
        QTEST(reply.power, "power");
        QTEST(int(reply.calibrationValue), "calibrationValue");
        if (type != Reply::Dropped)
            QCOMPARE(reply.frame, chunk.mid(chunk.indexOf(MeterProtocol::header())));
    }
    void openTimeReplies_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<bool>("handshake");
        QTest::addColumn<bool>("calibration");
        const QByteArray calibration = MeterProtocol::calibrationReply(7);
        QTest::newRow("measurement frame") << Example << true << false;
        QTest::newRow("measurement with bad crc")
            << Example.left(16) + bytes("FFFF") << true << false;
        QTest::newRow("measurement with wrong length byte")
            << bytes("57AB830B") + Example.mid(4) << false << false;
        QTest::newRow("longer reply") << Example + bytes("00") << false << false;
        QTest::newRow("calibration") << calibration << false << true;
        QTest::newRow("calibration without a header")
            << bytes("0000") + calibration.mid(2) << false << true;
        QTest::newRow("calibration after stray bytes")
            << bytes("A5") + calibration << false << false;
        QTest::newRow("short calibration") << calibration.left(9) << false << false;
    }
    void openTimeReplies()
    {
        QFETCH(QByteArray, reply);
        QFETCH(bool, handshake);
        QFETCH(bool, calibration);
        QCOMPARE(MeterProtocol::isHandshakeReply(reply), handshake);
        QCOMPARE(MeterProtocol::isCalibrationReply(reply), calibration);
        if (calibration)
            QCOMPARE(MeterProtocol::calibrationValue(reply), quint16(7));
    }
};

QTEST_APPLESS_MAIN(TestMeterProtocol)
#include "tst_meterprotocol.moc"
