#include "meterdevicerig.h"
#include "meterrequests.h"

#include <QtTest>

Q_DECLARE_METATYPE(MeterSimulator::Faults)

// The open-time sequence waits out real time: 500 ms per unanswered request and
// 500 ms between handshake attempts, so a meter that never answers costs seconds.
class TestMeterHandshake : public QObject
{
    Q_OBJECT

private slots:
    void openTimeRetries_data();
    void openTimeRetries();
    void removalStopsTheHandshake();
};

void TestMeterHandshake::openTimeRetries_data()
{
    using Faults = MeterSimulator::Faults;
    using Rig = MeterDeviceRig;
    QTest::addColumn<Faults>("handshakeFaults");
    QTest::addColumn<Faults>("calibrationFaults");
    QTest::addColumn<int>("handshakes");
    QTest::addColumn<int>("calibrations");

    QTest::newRow("longer handshake reply once")
        << Rig::fault(&Faults::junkBeforeHeader, 1) << Faults() << 2 << 1;
    QTest::newRow("handshake reply with the wrong code twice")
        << Rig::fault(&Faults::wrongCode, 2) << Faults() << 3 << 1;
    QTest::newRow("calibration after stray bytes once")
        << Faults() << Rig::fault(&Faults::junkBeforeHeader, 1) << 1 << 2;
    QTest::newRow("calibration with the wrong code twice")
        << Faults() << Rig::fault(&Faults::wrongCode, 2) << 1 << 3;
    QTest::newRow("calibration never answered")
        << Faults() << Rig::fault(&Faults::silent) << 1 << 5;
}

// Each failed attempt costs exactly one request; the meter goes online once the
// handshake succeeds, whether the calibration value could be read or not.
void TestMeterHandshake::openTimeRetries()
{
    QFETCH(MeterSimulator::Faults, handshakeFaults);
    QFETCH(MeterSimulator::Faults, calibrationFaults);
    QFETCH(int, handshakes);
    QFETCH(int, calibrations);

    MeterDeviceRig rig;
    MeterSimulator &meter = rig.meter;
    QVERIFY2(rig.start(), qPrintable(meter.errorString()));
    meter.setFaults(MeterSimulator::MeasurementRequest, handshakeFaults);
    meter.setFaults(MeterSimulator::CalibrationRequest, calibrationFaults);
    QVERIFY(rig.goOnline());
    QTRY_VERIFY_WITH_TIMEOUT(MeterRequests::isPolled(meter, 2), 5000);

    using Kinds = QVector<MeterSimulator::RequestKind>;
    const Kinds kinds = MeterRequests::kinds(meter);
    QCOMPARE(kinds.mid(0, handshakes + calibrations),
        Kinds(handshakes, MeterSimulator::MeasurementRequest)
            + Kinds(calibrations, MeterSimulator::CalibrationRequest));
    QCOMPARE(kinds.count(MeterSimulator::CalibrationRequest), calibrations);
    QCOMPARE(
        rig.checkValues, calibrationFaults.silent ? QVector<ushort>() : QVector<ushort>({0x1234}));
    QTRY_VERIFY_WITH_TIMEOUT(rig.saw({5.0f, 0.1f, 0.5f}), 5000);
}

void TestMeterHandshake::removalStopsTheHandshake()
{
    MeterDeviceRig rig;
    MeterSimulator &meter = rig.meter;
    QVERIFY2(rig.start(), qPrintable(meter.errorString()));
    meter.setFaults(MeterDeviceRig::fault(&MeterSimulator::Faults::silent));
    rig.plugIn();
    QTRY_COMPARE_WITH_TIMEOUT(meter.requestCount(MeterSimulator::MeasurementRequest), 2, 20000);

    rig.unplug();
    QTRY_COMPARE_WITH_TIMEOUT(rig.offline, 1, 20000);
    QTRY_COMPARE_WITH_TIMEOUT(meter.lineCloseCount(), 1, 5000);
    // The attempt under way when the plug was pulled may finish; no other starts.
    const int handshakes = meter.requestCount(MeterSimulator::MeasurementRequest);
    QVERIFY2(handshakes <= 3, qPrintable(QString::number(handshakes)));
    QCOMPARE(rig.online, 0);
    QCOMPARE(rig.triples, QVector<MeterDeviceRig::Triple>({{0, 0, 0}}));
}

QTEST_GUILESS_MAIN(TestMeterHandshake)
#include "tst_meterhandshake.moc"
