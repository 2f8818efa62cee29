#include "meterdevicerig.h"
#include "meterprotocol.h"
#include "meterrequests.h"

#include <QtTest>

// Five handshake attempts with 500 ms waits and 500 ms pauses: the slowest case
// of the open-time sequence, in an executable of its own so that it overlaps
// with the others.
class TestSilentMeter : public QObject
{
    Q_OBJECT

private slots:
    void silentMeterGetsFiveHandshakes();
};

void TestSilentMeter::silentMeterGetsFiveHandshakes()
{
    MeterDeviceRig rig;
    MeterSimulator &meter = rig.meter;
    QVERIFY2(rig.start(), qPrintable(meter.errorString()));
    meter.setFaults(MeterDeviceRig::fault(&MeterSimulator::Faults::silent));
    rig.plugIn();
    QTRY_COMPARE_WITH_TIMEOUT(meter.requestCount(MeterSimulator::MeasurementRequest), 5, 20000);

    // Once the device has given up, the port stays open and its data-ready path
    // is connected: a calibration reply the meter sends by itself gets decoded.
    // Sent over and over, because one that lands while the last attempt still
    // reads is taken by that attempt.
    QTimer speakUp;
    connect(&speakUp, &QTimer::timeout, &speakUp,
        [&meter] { meter.sendUnprompted(MeterProtocol::calibrationReply(0x0BAD)); });
    speakUp.start(200);
    QTRY_VERIFY_WITH_TIMEOUT(!rig.checkValues.isEmpty(), 20000);
    speakUp.stop();
    QCOMPARE(rig.checkValues.first(), ushort(0x0BAD));
    QCOMPARE(meter.lineCloseCount(), 0);

    rig.device.close();
    QTRY_COMPARE_WITH_TIMEOUT(meter.lineCloseCount(), 1, 5000);
    QTRY_COMPARE_WITH_TIMEOUT(rig.offline, 1, 5000);
    QCOMPARE(MeterRequests::kinds(meter),
        QVector<MeterSimulator::RequestKind>(5, MeterSimulator::MeasurementRequest));
    QCOMPARE(rig.online, 0);
    // Zeros on close even though the meter never came online.
    QCOMPARE(rig.triples, QVector<MeterDeviceRig::Triple>({{0, 0, 0}}));
}

QTEST_GUILESS_MAIN(TestSilentMeter)
#include "tst_silentmeter.moc"
