#include "meterdevicerig.h"
#include "meterprotocol.h"
#include "meterrequests.h"

#include <QtTest>

#include <memory>

Q_DECLARE_METATYPE(MeterSimulator::Faults)
Q_DECLARE_METATYPE(MeterReading)
Q_DECLARE_METATYPE(MeterDeviceRig::Triple)

namespace {

const int OnlineTimeoutMs = 15000;
const int SignalTimeoutMs = 5000;

MeterReading micro(quint32 microvolts, quint32 microamperes, quint32 microwatts)
{
    MeterReading reading;
    reading.microvolts = microvolts;
    reading.microamperes = microamperes;
    reading.microwatts = microwatts;
    return reading;
}

MeterSimulator::Faults faults(void (*set)(MeterSimulator::Faults &))
{
    MeterSimulator::Faults faults;
    set(faults);
    return faults;
}

int pollsBetween(const MeterSimulator &meter, qint64 fromMs, qint64 toMs)
{
    int polls = 0;
    for (qint64 at : MeterRequests::pollTimes(meter))
        polls += at >= fromMs && at < toMs;
    return polls;
}

} // namespace

class TestCommonCurrentUsbDevice : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void cleanupTestCase();
    void goesOnlineAndPolls();
    void decodesThroughThePort_data();
    void decodesThroughThePort();
    void unpromptedFrames_data();
    void unpromptedFrames();
    void writeAndWaitHoldsThePoll();
    void closeEmitsOfflineAndZeros();

private:
    bool goOnline(MeterDeviceRig &rig);
    // Polls that reach the meter in the next windowMs, counted once they all have.
    int countPolls(qint64 windowMs);

    std::unique_ptr<MeterDeviceRig> m_rig;
    // Stays online from one decoding row to the next, which saves a handshake each.
    std::unique_ptr<MeterDeviceRig> m_decodingRig;
    int m_markers = 100;
};

void TestCommonCurrentUsbDevice::init()
{
    m_rig.reset(new MeterDeviceRig);
    m_rig->meter.setProfile(LoadProfile::constant(5.0, 0.1, 0.5));
    m_rig->meter.setCalibrationValue(0x1234);
    QVERIFY2(m_rig->start(), qPrintable(m_rig->meter.errorString()));
}

void TestCommonCurrentUsbDevice::cleanup()
{
    if (QTest::currentTestFailed())
        m_decodingRig.reset();
    m_rig.reset();
}

void TestCommonCurrentUsbDevice::cleanupTestCase()
{
    m_decodingRig.reset();
}

bool TestCommonCurrentUsbDevice::goOnline(MeterDeviceRig &rig)
{
    const int before = rig.online;
    rig.plugIn();
    return QTest::qWaitFor([&] { return rig.online == before + 1; }, OnlineTimeoutMs);
}

int TestCommonCurrentUsbDevice::countPolls(qint64 windowMs)
{
    const MeterSimulator &meter = m_rig->meter;
    const int before = MeterRequests::pollCount(meter);
    if (!QTest::qWaitFor([&] { return MeterRequests::pollCount(meter) > before; }, SignalTimeoutMs))
        return -1;
    const qint64 from = MeterRequests::pollTimes(meter).value(before);
    if (!QTest::qWaitFor([&] { return MeterRequests::pollTimes(meter).last() >= from + windowMs; },
            windowMs + SignalTimeoutMs))
        return -1;
    return pollsBetween(meter, from, from + windowMs);
}

void TestCommonCurrentUsbDevice::goesOnlineAndPolls()
{
    QVERIFY(goOnline(*m_rig));
    QCOMPARE(m_rig->checkValues, QVector<ushort>({0x1234}));

    const int polls = countPolls(2000);
    QVERIFY2(polls >= 18 && polls <= 22, qPrintable(QString::number(polls)));

    const QVector<MeterSimulator::RequestKind> kinds = MeterRequests::kinds(m_rig->meter);
    QCOMPARE(kinds.mid(0, 2),
        QVector<MeterSimulator::RequestKind>(
            {MeterSimulator::MeasurementRequest, MeterSimulator::CalibrationRequest}));
    QCOMPARE(kinds.count(MeterSimulator::CalibrationRequest), 1);
    QCOMPARE(kinds.count(MeterSimulator::OtherBytes), 0);

    // The handshake's own measurement is not emitted, so every triple is a poll's.
    QTRY_VERIFY_WITH_TIMEOUT(!m_rig->triples.isEmpty(), SignalTimeoutMs);
    for (const MeterDeviceRig::Triple &triple : qAsConst(m_rig->triples))
        QVERIFY(triple == MeterDeviceRig::Triple({5.0f, 0.1f, 0.5f}));
    QVERIFY(m_rig->triples.size() <= MeterRequests::pollCount(m_rig->meter));
    QCOMPARE(m_rig->offline, 0);
}

void TestCommonCurrentUsbDevice::decodesThroughThePort_data()
{
    using Faults = MeterSimulator::Faults;
    using Triple = MeterDeviceRig::Triple;
    QTest::addColumn<Faults>("faults");
    QTest::addColumn<MeterReading>("reading");
    QTest::addColumn<bool>("decoded");
    QTest::addColumn<Triple>("triple");

    const MeterReading example = micro(5000000, 100000, 500000);
    const float max = float(4294.967295);
    QTest::newRow("example frame") << Faults() << example << true << Triple {5.0f, 0.1f, 0.5f};
    QTest::newRow("raw zero") << Faults() << micro(0, 0, 0) << true << Triple {0, 0, 0};
    QTest::newRow("raw 0xFFFFFFFF")
        << Faults() << micro(0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF) << true << Triple {max, max, max};
    QTest::newRow("junk before the header") << faults([](Faults &f) { f.junkBeforeHeader = true; })
                                            << example << true << Triple {5.0f, 0.1f, 0.5f};
    QTest::newRow("bad crc") << faults([](Faults &f) { f.badCrc = true; }) << example << true
                             << Triple {5.0f, 0.1f, 0.5f};
    QTest::newRow("two frames in one notification")
        << faults([](Faults &f) { f.twoFrames = true; }) << example << false
        << Triple {5.0f, 0.1f, 0.5f};
    QTest::newRow("frame split over two notifications")
        << faults([](Faults &f) { f.splitFrame = true; }) << example << false
        << Triple {5.0f, 0.1f, 0.5f};
    QTest::newRow("wrong code") << faults([](Faults &f) { f.wrongCode = true; }) << example << false
                                << Triple {5.0f, 0.1f, 0.5f};
}

// The row's reading is sent as the row says, then a marker reading is sent
// soundly: once the marker is shown, every reply of the row has been decoded.
void TestCommonCurrentUsbDevice::decodesThroughThePort()
{
    QFETCH(MeterSimulator::Faults, faults);
    QFETCH(MeterReading, reading);
    QFETCH(bool, decoded);
    QFETCH(MeterDeviceRig::Triple, triple);

    if (!m_decodingRig) {
        m_decodingRig = std::move(m_rig);
        QVERIFY(goOnline(*m_decodingRig));
    }
    MeterDeviceRig &rig = *m_decodingRig;
    MeterSimulator &meter = rig.meter;
    rig.triples.clear();

    meter.setFaults(MeterSimulator::MeasurementRequest, faults);
    meter.setProfile(LoadProfile::constant(reading));
    const int polls = meter.requestCount(MeterSimulator::MeasurementRequest);
    QTRY_VERIFY_WITH_TIMEOUT(
        meter.requestCount(MeterSimulator::MeasurementRequest) >= polls + 3, SignalTimeoutMs);
    const float marker = float(++m_markers);
    meter.setProfile(LoadProfile::constant(marker, marker, marker));
    meter.clearFaults();
    QTRY_VERIFY_WITH_TIMEOUT(rig.saw({marker, marker, marker}), SignalTimeoutMs);

    QCOMPARE(rig.saw(triple), decoded);
}

void TestCommonCurrentUsbDevice::unpromptedFrames_data()
{
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<int>("parameterSet");
    QTest::addColumn<int>("errors");
    QTest::addColumn<QVector<ushort>>("checkValues");

    const QVector<ushort> calibrated {0x1234};
    QTest::newRow("success acknowledgement")
        << MeterProtocol::acknowledgement(true) << 1 << 0 << calibrated;
    QTest::newRow("error acknowledgement")
        << MeterProtocol::acknowledgement(false) << 0 << 1 << calibrated;
    QTest::newRow("acknowledgement after junk")
        << QByteArray::fromHex("A557") + MeterProtocol::acknowledgement(true) << 1 << 0
        << calibrated;
    QTest::newRow("calibration reply")
        << MeterProtocol::calibrationReply(0xBEEF) << 0 << 0 << QVector<ushort> {0x1234, 0xBEEF};
}

// Frames the meter sends between polls, decoded on the data-ready path.
void TestCommonCurrentUsbDevice::unpromptedFrames()
{
    QFETCH(QByteArray, frame);
    QFETCH(QVector<ushort>, checkValues);

    MeterSimulator &meter = m_rig->meter;
    QVERIFY(goOnline(*m_rig));
    // A silent poll shows that every earlier reply is out, so the frame travels alone.
    MeterSimulator::Faults silent;
    silent.silent = true;
    meter.setFaults(silent);
    const int polls = meter.requestCount(MeterSimulator::MeasurementRequest);
    QTRY_VERIFY_WITH_TIMEOUT(
        meter.requestCount(MeterSimulator::MeasurementRequest) > polls, SignalTimeoutMs);

    meter.sendUnprompted(frame);
    QFETCH(int, parameterSet);
    QFETCH(int, errors);
    QTRY_COMPARE_WITH_TIMEOUT(m_rig->checkValues, checkValues, SignalTimeoutMs);
    QTRY_COMPARE_WITH_TIMEOUT(m_rig->parameterSet, parameterSet, SignalTimeoutMs);
    QTRY_COMPARE_WITH_TIMEOUT(m_rig->errors, errors, SignalTimeoutMs);
}

void TestCommonCurrentUsbDevice::writeAndWaitHoldsThePoll()
{
    MeterSimulator &meter = m_rig->meter;
    QVERIFY(goOnline(*m_rig));
    QTRY_VERIFY_WITH_TIMEOUT(MeterRequests::isPolled(meter), SignalTimeoutMs);

    // A command the meter does not answer keeps the exchange waiting its full 500 ms.
    const QByteArray command = MeterProtocol::frame(0x05, QByteArray());
    m_rig->device.writeAndWait(command);
    QTRY_COMPARE_WITH_TIMEOUT(meter.requestCount(MeterSimulator::OtherBytes), 1, SignalTimeoutMs);
    qint64 sentAt = 0;
    for (const MeterSimulator::Request &request : meter.requests()) {
        if (request.kind == MeterSimulator::OtherBytes) {
            QCOMPARE(request.bytes, command);
            sentAt = request.atMs;
        }
    }

    // Polling resumes by itself.
    QTRY_VERIFY_WITH_TIMEOUT(pollsBetween(meter, sentAt, sentAt + 10000) >= 5, SignalTimeoutMs);
    // The worker sleeps a poll period before the command and then waits 500 ms
    // for an answer; no poll may go out in between.
    QCOMPARE(pollsBetween(meter, sentAt - 50, sentAt + 450), 0);
    // Nor may the skipped polls pile up in the worker's queue and go out in a
    // burst afterwards: one posted just before the exchange and the next tick
    // may meet, no more.
    for (qint64 at : MeterRequests::pollTimes(meter)) {
        if (at >= sentAt)
            QVERIFY2(
                pollsBetween(meter, at, at + 30) <= 2, qPrintable(QString::number(at - sentAt)));
    }
}

void TestCommonCurrentUsbDevice::closeEmitsOfflineAndZeros()
{
    MeterSimulator &meter = m_rig->meter;
    QVERIFY(goOnline(*m_rig));
    QTRY_VERIFY_WITH_TIMEOUT(m_rig->saw({5.0f, 0.1f, 0.5f}), SignalTimeoutMs);

    m_rig->unplug();
    QTRY_COMPARE_WITH_TIMEOUT(m_rig->offline, 1, SignalTimeoutMs);
    QTRY_COMPARE_WITH_TIMEOUT(meter.lineCloseCount(), 1, SignalTimeoutMs);
    QCOMPARE(m_rig->triples.last(), MeterDeviceRig::Triple({0, 0, 0}));

    // Plugged again, it starts over with the handshake, and polls at the same
    // pace: the first session's poll timer must be gone.
    meter.clearRequests();
    meter.setCalibrationValue(0x4321);
    QVERIFY(goOnline(*m_rig));
    QCOMPARE(MeterRequests::kinds(meter).mid(0, 2),
        QVector<MeterSimulator::RequestKind>(
            {MeterSimulator::MeasurementRequest, MeterSimulator::CalibrationRequest}));
    QCOMPARE(m_rig->checkValues, QVector<ushort>({0x1234, 0x4321}));
    const int polls = countPolls(1000);
    QVERIFY2(polls >= 8 && polls <= 12, qPrintable(QString::number(polls)));
    QCOMPARE(m_rig->offline, 1);
}

QTEST_GUILESS_MAIN(TestCommonCurrentUsbDevice)
#include "tst_commoncurrentusbdevice.moc"
