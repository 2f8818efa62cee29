#include "meterdevicerig.h"
#include "meterprotocol.h"
#include "meterrequests.h"

#include <QtTest>

#include <memory>

Q_DECLARE_METATYPE(MeterSimulator::Faults)
Q_DECLARE_METATYPE(MeterReading)
Q_DECLARE_METATYPE(MeterDeviceRig::Triple)

namespace {

using Faults = MeterSimulator::Faults;
using Triple = MeterDeviceRig::Triple;
const int SignalTimeoutMs = 5000;

int pollsBetween(const MeterSimulator &meter, qint64 fromMs, qint64 toMs)
{
    int polls = 0;
    for (qint64 at : MeterRequests::pollTimes(meter))
        polls += at >= fromMs && at < toMs;
    return polls;
}

// Polls that reach the meter in the next windowMs, counted once they all have.
int countPolls(const MeterSimulator &meter, qint64 windowMs)
{
    const int before = MeterRequests::pollCount(meter);
    if (!QTest::qWaitFor([&] { return MeterRequests::pollCount(meter) > before; }, SignalTimeoutMs))
        return -1;
    const qint64 from = MeterRequests::pollTimes(meter).value(before);
    if (!QTest::qWaitFor([&] { return MeterRequests::pollTimes(meter).last() >= from + windowMs; },
            windowMs + SignalTimeoutMs))
        return -1;
    return pollsBetween(meter, from, from + windowMs);
}

} // namespace

class TestCommonCurrentUsbDevice : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();
    void decodesThroughThePort_data();
    void decodesThroughThePort();
    void writeAndWaitHoldsThePoll();
    void sessionsComeAndGo();

private:
    MeterDeviceRig *onlineRig();

    // Stays online from one case to the next, which saves a handshake each.
    std::unique_ptr<MeterDeviceRig> m_rig;
    int m_markers = 100;
};

// After a failure the meter's state is unknown, so the next case starts afresh.
void TestCommonCurrentUsbDevice::cleanup()
{
    if (QTest::currentTestFailed())
        m_rig.reset();
}

MeterDeviceRig *TestCommonCurrentUsbDevice::onlineRig()
{
    if (!m_rig) {
        m_rig.reset(new MeterDeviceRig);
        if (!m_rig->start() || !m_rig->goOnline())
            m_rig.reset();
    }
    return m_rig.get();
}

void TestCommonCurrentUsbDevice::decodesThroughThePort_data()
{
    QTest::addColumn<Faults>("faults");
    QTest::addColumn<MeterReading>("reading");
    QTest::addColumn<bool>("decoded");
    QTest::addColumn<Triple>("triple");

    const MeterReading example {5000000, 100000, 500000};
    const MeterReading max {0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF};
    const Triple five {5.0f, 0.1f, 0.5f};
    const float maxFloat = float(4294.967295);
    QTest::newRow("example frame") << Faults() << example << true << five;
    QTest::newRow("raw zero") << Faults() << MeterReading() << true << Triple {0, 0, 0};
    QTest::newRow("raw 0xFFFFFFFF")
        << Faults() << max << true << Triple {maxFloat, maxFloat, maxFloat};
    QTest::newRow("junk before the header")
        << MeterDeviceRig::fault(&Faults::junkBeforeHeader) << example << true << five;
    QTest::newRow("two frames in one notification")
        << MeterDeviceRig::fault(&Faults::twoFrames) << example << false << five;
    QTest::newRow("frame split over two notifications")
        << MeterDeviceRig::fault(&Faults::splitFrame) << example << false << five;
}

// The row's reading is sent as the row says, then a marker reading is sent
// soundly: once the marker is shown, every reply of the row has been decoded.
void TestCommonCurrentUsbDevice::decodesThroughThePort()
{
    QFETCH(Faults, faults);
    QFETCH(MeterReading, reading);
    QFETCH(Triple, triple);

    MeterDeviceRig *rig = onlineRig();
    QVERIFY(rig);
    MeterSimulator &meter = rig->meter;
    rig->triples.clear();

    meter.setFaults(MeterSimulator::MeasurementRequest, faults);
    meter.setProfile(LoadProfile::constant(reading));
    const int polls = meter.requestCount(MeterSimulator::MeasurementRequest);
    QTRY_VERIFY_WITH_TIMEOUT(
        meter.requestCount(MeterSimulator::MeasurementRequest) >= polls + 3, SignalTimeoutMs);
    const float marker = float(++m_markers);
    meter.setProfile(LoadProfile::constant(marker, marker, marker));
    meter.clearFaults();
    QTRY_VERIFY_WITH_TIMEOUT(rig->saw({marker, marker, marker}), SignalTimeoutMs);

    QTEST(rig->saw(triple), "decoded");
}

void TestCommonCurrentUsbDevice::writeAndWaitHoldsThePoll()
{
    MeterDeviceRig *rig = onlineRig();
    QVERIFY(rig);
    MeterSimulator &meter = rig->meter;
    QTRY_VERIFY_WITH_TIMEOUT(MeterRequests::isPolled(meter), SignalTimeoutMs);

    // A command the meter does not answer keeps the exchange waiting its full 500 ms.
    const QByteArray command = MeterProtocol::frame(0x05, QByteArray());
    const int others = meter.requestCount(MeterSimulator::OtherBytes);
    rig->device.writeAndWait(command);
    QTRY_COMPARE_WITH_TIMEOUT(
        meter.requestCount(MeterSimulator::OtherBytes), others + 1, SignalTimeoutMs);
    qint64 sentAt = 0;
    for (const MeterSimulator::Request &request : meter.requests()) {
        if (request.kind == MeterSimulator::OtherBytes)
            sentAt = request.atMs;
    }

    // Polling resumes by itself.
    QTRY_VERIFY_WITH_TIMEOUT(pollsBetween(meter, sentAt, sentAt + 10000) >= 5, SignalTimeoutMs);
    // The worker sleeps a poll period before the command and then waits 500 ms
    // for an answer; no poll may go out in between.
    QCOMPARE(pollsBetween(meter, sentAt - 50, sentAt + 450), 0);
    // Nor may the skipped polls pile up and go out in a burst afterwards.
    for (qint64 at : MeterRequests::pollTimes(meter)) {
        if (at >= sentAt)
            QVERIFY2(
                pollsBetween(meter, at, at + 30) <= 2, qPrintable(QString::number(at - sentAt)));
    }
}

// Plugged a second time, it starts over with the handshake and polls at the
// same pace: the first session's poll timer must be gone.
void TestCommonCurrentUsbDevice::sessionsComeAndGo()
{
    using Kinds = QVector<MeterSimulator::RequestKind>;
    MeterDeviceRig rig;
    MeterSimulator &meter = rig.meter;
    QVERIFY2(rig.start(), qPrintable(meter.errorString()));
    for (int session = 1; session <= 2; ++session) {
        meter.clearRequests();
        meter.setCalibrationValue(ushort(0x1230 + session));
        QVERIFY(rig.goOnline());
        QCOMPARE(rig.checkValues.last(), ushort(0x1230 + session));

        const int polls = countPolls(meter, 2000);
        QVERIFY2(polls >= 18 && polls <= 22, qPrintable(QString::number(polls)));
        const Kinds kinds = MeterRequests::kinds(meter);
        QCOMPARE(kinds.mid(0, 2),
            Kinds({MeterSimulator::MeasurementRequest, MeterSimulator::CalibrationRequest}));
        QCOMPARE(kinds.count(MeterSimulator::CalibrationRequest), 1);

        rig.unplug();
        QTRY_COMPARE_WITH_TIMEOUT(rig.offline, session, SignalTimeoutMs);
        // The zeros follow the offline signal in the same close; they may be a queued call behind.
        QTRY_COMPARE_WITH_TIMEOUT(rig.triples.last(), Triple({0, 0, 0}), SignalTimeoutMs);
    }
}

QTEST_GUILESS_MAIN(TestCommonCurrentUsbDevice)
#include "tst_commoncurrentusbdevice.moc"
