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
    void decodesEachFrame_data()
    {
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<Reply::Type>("type");
        QTest::addColumn<float>("voltage");
        QTest::addColumn<float>("current");
        QTest::addColumn<float>("power");
        QTest::addColumn<int>("calibrationValue");
        const auto measurement
            = [](const char *name, const QByteArray &frame, float v, float c, float p) {
                  QTest::newRow(name) << frame << Reply::Measurement << v << c << p << 0;
              };
        const auto other = [](const char *name, const QByteArray &frame, Reply::Type type,
                               int calibrationValue = 0) {
            QTest::newRow(name) << frame << type << 0.0f << 0.0f << 0.0f << calibrationValue;
        };
        const float max = float(4294.967295);
        const QByteArray calibration = MeterProtocol::calibrationReply(0x1234);
        measurement("example frame", Example, 5.0f, 0.1f, 0.5f);
        measurement("raw 0xFFFFFFFF",
            MeterProtocol::measurementReply(0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF), max, max, max);
        measurement(
            "one micro-unit", MeterProtocol::measurementReply(1, 1, 1), 1e-6f, 1e-6f, 1e-6f);
        other("measurement with the request's code", MeterProtocol::frame(0x03, Example.mid(4, 12)),
            Reply::Dropped);
        other("calibration", calibration, Reply::Calibration, 0x1234);
        other("calibration size with measurement code",
            MeterProtocol::frame(0x83, calibration.mid(4, 4)), Reply::Dropped);
        other("success acknowledgement", MeterProtocol::acknowledgement(true), Reply::ParameterSet);
        other("error acknowledgement", MeterProtocol::acknowledgement(false), Reply::CommandError);
        other("error with another status", MeterProtocol::frame(0xC2, bytes("05")),
            Reply::CommandError);
    }
    void decodesEachFrame()
    {
        QFETCH(QByteArray, frame);
        QFETCH(Reply::Type, type);
        QByteArray received = frame;
        const MeterProtocol::Frames frames = MeterProtocol::takeFrames(received);
        QCOMPARE(frames.replies.size(), 1);
        const Reply reply = frames.replies.constFirst();
        QCOMPARE(reply.type, type);
        // Exact: the float must be the one nearest to raw / 1e6, not merely close to it.
        QTEST(reply.voltage, "voltage");
        QTEST(reply.current, "current");
        QTEST(reply.power, "power");
        QTEST(int(reply.calibrationValue), "calibrationValue");
        QCOMPARE(reply.frame, frame);
    }
    // The reads of a stream, as the port hands them over: exactly the intact frames come out,
    // in order, however the stream is cut.
    void cutsFramesFromReads_data()
    {
        QTest::addColumn<QByteArrayList>("reads");
        QTest::addColumn<QList<float>>("currents");
        QTest::addColumn<int>("dropped");
        const QByteArray a = MeterProtocol::measurementReply(5000000, 100000, 500000);
        const QByteArray b = MeterProtocol::measurementReply(5000000, 200000, 1000000);
        QByteArray bad = a;
        bad[9] = char(bad.at(9) ^ 0x01);
        for (int at = 1; at < a.size(); ++at)
            QTest::addRow("split after byte %d", at)
                << QByteArrayList {a.left(at), a.mid(at) + b} << QList<float> {0.1f, 0.2f} << 0;
        QTest::newRow("two frames in one read")
            << QByteArrayList {a + b} << QList<float> {0.1f, 0.2f} << 0;
        QTest::newRow("junk before a header")
            << QByteArrayList {bytes("00FF1357") + a} << QList<float> {0.1f} << 0;
        QTest::newRow("bad CRC between two good frames")
            << QByteArrayList {a + bad + b} << QList<float> {0.1f, 0.2f} << 1;
        QTest::newRow("bad CRC, then the rest of the stream in the next read") << QByteArrayList {
            a + bad.left(17), bad.right(1) + b} << QList<float> {0.1f, 0.2f} << 1;
        QTest::newRow("a corrupted length does not hide the next frame")
            << QByteArrayList {bytes("57AB83FF") + b, QByteArray(255, '\0')} << QList<float> {0.2f}
            << 1;
        // No reply is longer than 18 bytes: a longer length is dropped as it is read, not
        // waited out while the good frames behind it pile up.
        for (const char *length : {"0D", "13", "FF"})
            QTest::addRow("length byte %s, a good frame right behind", length)
                << QByteArrayList {bytes("57AB83") + bytes(length) + b} << QList<float> {0.2f} << 1;
        QTest::newRow("impossible length split from its header")
            << QByteArrayList {bytes("57AB83"), bytes("40") + b} << QList<float> {0.2f} << 1;
        QTest::newRow("header split after 57")
            << QByteArrayList {bytes("0157"), a.mid(1)} << QList<float> {0.1f} << 0;
    }
    void cutsFramesFromReads()
    {
        QFETCH(QByteArrayList, reads);
        QFETCH(QList<float>, currents);
        QByteArray received;
        QList<float> seen;
        int dropped = 0;
        for (const QByteArray &read : reads) {
            received += read;
            const MeterProtocol::Frames frames = MeterProtocol::takeFrames(received);
            for (const Reply &reply : frames.replies)
                seen << reply.current;
            dropped += frames.dropped;
        }
        QCOMPARE(seen, currents);
        QTEST(dropped, "dropped");
    }
    void openTimeReplies_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<bool>("handshake");
        QTest::addColumn<bool>("calibration");
        const QByteArray calibration = MeterProtocol::calibrationReply(7);
        QTest::newRow("measurement frame") << Example << true << false;
        QTest::newRow("measurement with bad crc")
            << Example.left(16) + bytes("FFFF") << false << false;
        QTest::newRow("measurement with wrong length byte")
            << bytes("57AB830B") + Example.mid(4) << false << false;
        QTest::newRow("longer reply") << Example + bytes("00") << false << false;
        QTest::newRow("calibration") << calibration << false << true;
        QTest::newRow("calibration with bad crc")
            << calibration.left(8) + bytes("0000") << false << false;
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
