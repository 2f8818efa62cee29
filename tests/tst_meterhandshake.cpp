#include "meterdevicerig.h"
#include "meterrequests.h"

#include <QtTest>

#include <memory>

Q_DECLARE_METATYPE(MeterSimulator::Faults)
Q_DECLARE_METATYPE(MeterSimulator::RequestKind)

// The open-time sequence waits out real time: 500 ms per unanswered request and
// 500 ms between handshake attempts, so a meter that never answers costs seconds.
namespace {

const int OnlineTimeoutMs = 20000;
const int SignalTimeoutMs = 5000;

using Kinds = QVector<MeterSimulator::RequestKind>;

MeterSimulator::Faults faults(void (*set)(MeterSimulator::Faults &))
{
    MeterSimulator::Faults faults;
    set(faults);
    return faults;
}

Kinds openTimeRequests(int handshakes, int calibrations)
{
    return Kinds(handshakes, MeterSimulator::MeasurementRequest)
        + Kinds(calibrations, MeterSimulator::CalibrationRequest);
}

} // namespace

class TestMeterHandshake : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void openTimeRetries_data();
    void openTimeRetries();
    void removalStopsTheHandshake();

private:
    std::unique_ptr<MeterDeviceRig> m_rig;
};

void TestMeterHandshake::init()
{
    m_rig.reset(new MeterDeviceRig);
    m_rig->meter.setProfile(LoadProfile::constant(5.0, 0.1, 0.5));
    m_rig->meter.setCalibrationValue(0x1234);
    QVERIFY2(m_rig->start(), qPrintable(m_rig->meter.errorString()));
}

void TestMeterHandshake::cleanup()
{
    m_rig.reset();
}

void TestMeterHandshake::openTimeRetries_data()
{
    using Faults = MeterSimulator::Faults;
    QTest::addColumn<Faults>("handshakeFaults");
    QTest::addColumn<Faults>("calibrationFaults");
    QTest::addColumn<Kinds>("requests");
    QTest::addColumn<QVector<ushort>>("checkValues");

    const QVector<ushort> calibrated {0x1234};
    QTest::newRow("sound meter") << Faults() << Faults() << openTimeRequests(1, 1) << calibrated;
    QTest::newRow("longer handshake reply once") << faults([](Faults &f) {
        f.junkBeforeHeader = true;
        f.faultLimit = 1;
    }) << Faults() << openTimeRequests(2, 1) << calibrated;
    QTest::newRow("handshake reply with the wrong code twice") << faults([](Faults &f) {
        f.wrongCode = true;
        f.faultLimit = 2;
    }) << Faults() << openTimeRequests(3, 1) << calibrated;
    QTest::newRow("calibration after stray bytes once") << Faults() << faults([](Faults &f) {
        f.junkBeforeHeader = true;
        f.faultLimit = 1;
    }) << openTimeRequests(1, 2) << calibrated;
    QTest::newRow("calibration with the wrong code twice") << Faults() << faults([](Faults &f) {
        f.wrongCode = true;
        f.faultLimit = 2;
    }) << openTimeRequests(1, 3) << calibrated;
    QTest::newRow("calibration never answered")
        << Faults() << faults([](Faults &f) { f.silent = true; }) << openTimeRequests(1, 5)
        << QVector<ushort>();
}

// Each failed attempt costs exactly one request; the meter goes online once the
// handshake succeeds, whether the calibration value could be read or not.
void TestMeterHandshake::openTimeRetries()
{
    QFETCH(MeterSimulator::Faults, handshakeFaults);
    QFETCH(MeterSimulator::Faults, calibrationFaults);
    QFETCH(Kinds, requests);

    MeterSimulator &meter = m_rig->meter;
    meter.setFaults(MeterSimulator::MeasurementRequest, handshakeFaults);
    meter.setFaults(MeterSimulator::CalibrationRequest, calibrationFaults);
    m_rig->plugIn();
    QTRY_COMPARE_WITH_TIMEOUT(m_rig->online, 1, OnlineTimeoutMs);
    QTRY_VERIFY_WITH_TIMEOUT(MeterRequests::isPolled(meter, 2), SignalTimeoutMs);

    const Kinds kinds = MeterRequests::kinds(meter);
    QCOMPARE(kinds.mid(0, requests.size()), requests);
    QCOMPARE(kinds.count(MeterSimulator::CalibrationRequest),
        requests.count(MeterSimulator::CalibrationRequest));
    QTEST(m_rig->checkValues, "checkValues");
    QTRY_VERIFY_WITH_TIMEOUT(m_rig->saw({5.0f, 0.1f, 0.5f}), SignalTimeoutMs);
}

void TestMeterHandshake::removalStopsTheHandshake()
{
    MeterSimulator &meter = m_rig->meter;
    MeterSimulator::Faults silent;
    silent.silent = true;
    meter.setFaults(silent);
    m_rig->plugIn();
    QTRY_COMPARE_WITH_TIMEOUT(
        meter.requestCount(MeterSimulator::MeasurementRequest), 2, OnlineTimeoutMs);

    m_rig->unplug();
    QTRY_COMPARE_WITH_TIMEOUT(m_rig->offline, 1, OnlineTimeoutMs);
    QTRY_COMPARE_WITH_TIMEOUT(meter.lineCloseCount(), 1, SignalTimeoutMs);
    // The attempt under way when the plug was pulled may finish; no other starts.
    const int handshakes = meter.requestCount(MeterSimulator::MeasurementRequest);
    QVERIFY2(handshakes <= 3, qPrintable(QString::number(handshakes)));
    QCOMPARE(m_rig->online, 0);
    QCOMPARE(m_rig->triples, QVector<MeterDeviceRig::Triple>({{0, 0, 0}}));
}

QTEST_GUILESS_MAIN(TestMeterHandshake)
#include "tst_meterhandshake.moc"
