// SPDX-License-Identifier: GPL-3.0-or-later
#include "meterdevicerig.h"
#include "meterprotocol.h"
#include "meterrequests.h"

#include <QLoggingCategory>
#include <QRandomGenerator>
#include <QtTest>

#include <memory>

Q_DECLARE_METATYPE(MeterSimulator::Faults)
Q_DECLARE_METATYPE(MeterReading)
Q_DECLARE_METATYPE(MeterDeviceRig::Triple)

namespace {

using Faults = MeterSimulator::Faults;
using Triple = MeterDeviceRig::Triple;
using Kinds = QVector<MeterSimulator::RequestKind>;
const int SignalTimeoutMs = 5000;

QByteArray randomBytes(int size)
{
    QByteArray bytes(size, '\0');
    QRandomGenerator random(size);
    for (char &byte : bytes)
        byte = char(random.bounded(256));
    return bytes;
}

} // namespace

// The real device, its worker thread and the port, on a pseudo-terminal.
class TestCommonCurrentUsbDevice : public QObject
{
    Q_OBJECT

private slots:
    // After a failure the meter's state is unknown, so the next case starts afresh.
    void cleanup()
    {
        QLoggingCategory::setFilterRules(QString());
        if (QTest::currentTestFailed())
            m_rig.reset();
    }
    void decodesThroughThePort_data()
    {
        QTest::addColumn<Faults>("faults");
        QTest::addColumn<MeterReading>("reading");
        QTest::addColumn<QByteArray>("noise");
        QTest::addColumn<int>("decoded"); // 1 shown, 0 dropped, -1 either
        QTest::addColumn<Triple>("triple");
        const MeterReading example {5000000, 100000, 500000};
        const Triple five {5.0f, 0.1f, 0.5f};
        const float max = float(4294.967295);
        const QByteArray none;
        QTest::newRow("example frame") << Faults() << example << none << 1 << five;
        QTest::newRow("raw 0xFFFFFFFF")
            << Faults() << MeterReading {0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF} << none << 1
            << Triple {max, max, max};
        QTest::newRow("junk before the header")
            << MeterDeviceRig::fault(&Faults::junkBeforeHeader) << example << none << 1 << five;
        QTest::newRow("two frames in one notification")
            << MeterDeviceRig::fault(&Faults::twoFrames) << example << none << 1 << five;
        QTest::newRow("frame split over two notifications")
            << MeterDeviceRig::fault(&Faults::splitFrame) << example << none << 1 << five;
        QTest::newRow("bad CRC") << MeterDeviceRig::fault(&Faults::badCrc) << example << none << 0
                                 << five;
        // Whatever a meter gone mad sends, the good frames after it are read again.
        QTest::newRow("random bytes")
            << Faults() << example << randomBytes(256 * 1024) << -1 << five;
        QTest::newRow("headers and nothing else")
            << Faults() << example << MeterProtocol::header().repeated(64 * 1024) << -1 << five;
        QTest::newRow("frames claiming 255 bytes")
            << Faults() << example
            << (QByteArray("\x57\xAB\x83\xFF", 4) + randomBytes(251)).repeated(256) << -1 << five;
    }
    // The row's reading is sent as the row says, then a marker reading soundly: once
    // the marker is shown, every reply of the row has been decoded.
    void decodesThroughThePort()
    {
        QFETCH(Faults, faults);
        QFETCH(MeterReading, reading);
        QFETCH(QByteArray, noise);
        QFETCH(int, decoded);
        QFETCH(Triple, triple);
        // A line of noise per dropped read would bury the other cases' output in a cut log.
        QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
        MeterDeviceRig *rig = onlineRig();
        QVERIFY(rig);
        MeterSimulator &meter = rig->meter;
        rig->triples.clear();
        meter.setFaults(MeterSimulator::MeasurementRequest, faults);
        meter.setProfile(LoadProfile::constant(reading));
        meter.sendUnprompted(noise);
        const int droppedBefore = rig->device.droppedFrames();
        const int polls = meter.requestCount(MeterSimulator::MeasurementRequest);
        QTRY_VERIFY_WITH_TIMEOUT(
            meter.requestCount(MeterSimulator::MeasurementRequest) >= polls + 3, SignalTimeoutMs);
        const float marker = float(++m_markers);
        meter.setProfile(LoadProfile::constant(marker, marker, marker));
        meter.clearFaults();
        QTRY_VERIFY_WITH_TIMEOUT(rig->saw({marker, marker, marker}), 2 * SignalTimeoutMs);
        if (decoded >= 0) {
            QCOMPARE(rig->saw(triple), decoded == 1);
            QCOMPARE(rig->device.droppedFrames() > droppedBefore, faults.badCrc);
        }
        QCOMPARE(rig->offline, 0);
        QCOMPARE(rig->online, 1);
    }

    // The open-time sequence waits out real time: 500 ms per unanswered request and
    // 500 ms between handshake attempts.
    void openTimeRetries_data()
    {
        using Rig = MeterDeviceRig;
        QTest::addColumn<Faults>("handshakeFaults");
        QTest::addColumn<Faults>("calibrationFaults");
        QTest::addColumn<int>("handshakes");
        QTest::addColumn<int>("calibrations");
        QTest::newRow("handshake reply with the wrong code twice")
            << Rig::fault(&Faults::wrongCode, 2) << Faults() << 3 << 1;
        QTest::newRow("calibration after stray bytes once")
            << Faults() << Rig::fault(&Faults::junkBeforeHeader, 1) << 1 << 2;
        QTest::newRow("calibration never answered")
            << Faults() << Rig::fault(&Faults::silent) << 1 << 5;
    }
    // Each failed attempt costs exactly one request; the meter goes online once the
    // handshake succeeds, whether the calibration value could be read or not.
    void openTimeRetries()
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
        const Kinds kinds = MeterRequests::kinds(meter);
        QCOMPARE(kinds.mid(0, handshakes + calibrations),
            Kinds(handshakes, MeterSimulator::MeasurementRequest)
                + Kinds(calibrations, MeterSimulator::CalibrationRequest));
        QCOMPARE(kinds.count(MeterSimulator::CalibrationRequest), calibrations);
        QCOMPARE(rig.checkValues,
            calibrationFaults.silent ? QVector<ushort>() : QVector<ushort>({0x1234}));
        QTRY_VERIFY_WITH_TIMEOUT(rig.saw({5.0f, 0.1f, 0.5f}), 5000);
    }
    void removalStopsTheHandshake()
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
        QTRY_COMPARE(rig.triples, QVector<Triple>({{0, 0, 0}}));
    }

    void silenceIsSaidAfterOneSecond_data()
    {
        QTest::addColumn<int>("silentMs");
        QTest::addColumn<bool>("said");
        QTest::newRow("a bit under 1 s") << 990 << false;
        QTest::newRow("just past 1 s") << 1010 << true;
    }
    // A meter that hangs is said to once it has been silent for a second, on a clock the test
    // holds, and is believed again at its next valid measurement; the port stays open throughout.
    void silenceIsSaidAfterOneSecond()
    {
        QFETCH(int, silentMs);
        QFETCH(bool, said);
        std::atomic<qint64> nowMs {0};
        MeterDeviceRig rig;
        rig.device.setSilenceClock([&nowMs] { return nowMs.load(); });
        QVERIFY2(rig.start(), qPrintable(rig.meter.errorString()));
        QVERIFY(rig.goOnline());
        QSignalSpy silent(&rig.device, &CommonCurrentUSBDevice::deviceNotResponding);
        QSignalSpy back(&rig.device, &CommonCurrentUSBDevice::deviceResponding);
        rig.meter.setFaults(MeterDeviceRig::fault(&Faults::silent));
        // Once every reply after the handshake's and the calibration's has been shown, and the
        // meter no longer answers, the last measurement was taken at 0.
        const auto replies = [&] {
            const QVector<MeterSimulator::Request> requests = rig.meter.requests();
            return std::count_if(requests.cbegin(), requests.cend(),
                       [](const MeterSimulator::Request &r) { return !r.reply.isEmpty(); })
                - 2;
        };
        QTRY_VERIFY_WITH_TIMEOUT(replies() == rig.triples.size()
                && MeterRequests::pollCount(rig.meter) > rig.triples.size(),
            SignalTimeoutMs);
        nowMs = silentMs;
        // Each poll reads the clock before it asks.
        const int polls = MeterRequests::pollCount(rig.meter);
        QTRY_VERIFY_WITH_TIMEOUT(MeterRequests::pollCount(rig.meter) >= polls + 3, SignalTimeoutMs);
        QCOMPARE(silent.count(), int(said));
        if (!said)
            return;
        const int shown = rig.triples.size();
        rig.meter.clearFaults();
        QVERIFY(back.wait(SignalTimeoutMs));
        QTRY_VERIFY(rig.triples.size() > shown);
        QCOMPARE(silent.count(), 1);
        QCOMPARE(rig.offline, 0);
    }
    // The far end gone without a word, as a hub losing power looks: the port is closed and
    // forgotten as if unplugged, instead of being read in vain for ever.
    void vanishedPortIsClosed()
    {
        MeterDeviceRig rig;
        QVERIFY2(rig.start(), qPrintable(rig.meter.errorString()));
        QVERIFY(rig.goOnline());
        rig.meter.stop();
        QTRY_COMPARE_WITH_TIMEOUT(rig.offline, 1, SignalTimeoutMs);
        QVERIFY(rig.device.portName().isEmpty());
        // The zero triple is emitted just after the offline signal and may still be queued.
        QTRY_COMPARE(rig.triples.constLast(), Triple({0, 0, 0}));
    }

    // Ending the program while a meter is being handshaken is bounded: the retries look for the
    // end between their waits. The user's second is met on a quiet machine; the bound here is
    // twice that, so that a loaded CI machine does not fail it, while retries that ignore the
    // end take five handshakes, about five seconds.
    void teardownDuringHandshakeIsBounded()
    {
        auto rig = std::make_unique<MeterDeviceRig>();
        QVERIFY2(rig->start(), qPrintable(rig->meter.errorString()));
        rig->meter.setFaults(MeterDeviceRig::fault(&Faults::silent));
        rig->plugIn();
        QTRY_COMPARE_WITH_TIMEOUT(
            rig->meter.requestCount(MeterSimulator::MeasurementRequest), 1, SignalTimeoutMs);
        QElapsedTimer teardown;
        teardown.start();
        rig.reset();
        QVERIFY2(teardown.elapsed() < 2000, qPrintable(QString::number(teardown.elapsed())));
    }

private:
    MeterDeviceRig *onlineRig()
    {
        if (!m_rig) {
            m_rig = std::make_unique<MeterDeviceRig>();
            if (!m_rig->start() || !m_rig->goOnline())
                m_rig.reset();
        }
        return m_rig.get();
    }

    // Stays online from one row to the next, which saves a handshake each.
    std::unique_ptr<MeterDeviceRig> m_rig;
    int m_markers = 100;
};

QTEST_GUILESS_MAIN(TestCommonCurrentUsbDevice)
#include "tst_commoncurrentusbdevice.moc"
