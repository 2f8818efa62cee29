// SPDX-License-Identifier: GPL-3.0-or-later
#include "meterbench.h"
#include "meterrequests.h"
#include "programundertest.h"
#include "simulatedmeter.h"

#include <QtTest>

// A meter whose tty the kernel makes well after announcing its USB device (a busy
// machine, slow udev rules): the program opens it once, as soon as the tty is
// there, whether the USB device came while it ran or before it started.
class TestE2eLateTty : public QObject
{
    Q_OBJECT

private slots:
    void openedWhenTtyComes_data()
    {
        QTest::addColumn<bool>("plugBeforeStart");
        QTest::newRow("plugged while running") << false;
        QTest::newRow("plugged at start-up") << true;
    }
    void openedWhenTtyComes();

private:
    // Nothing in this process watches udev, so the bus may come after the application object.
    MeterBench m_bench {firstTtyNumberOfThisProcess()};
};

void TestE2eLateTty::openedWhenTtyComes()
{
    QFETCH(bool, plugBeforeStart);
    QVERIFY2(MeterBench::inMockEnvironment(), "run under umockdev-wrapper");
    SimulatedMeter *meter = m_bench.addMeter(QStringLiteral("E2E-LATE-TTY"));
    ProgramUnderTest program;
    const QDateTime started = QDateTime::currentDateTime();
    QVERIFY(!plugBeforeStart || meter->plugUsbDevice());
    QVERIFY2(program.start(), qPrintable(program.errorString()));
    // It lists the ports right after it starts listening.
    QTRY_VERIFY_WITH_TIMEOUT(m_bench.testbed().hasListenerSince(started), 20000);
    QVERIFY(plugBeforeStart || meter->plugUsbDevice());
    // The stimulus: the tty comes 0.8 s late, long after the search for its USB device.
    QTest::qWait(800);
    QVERIFY(meter->plugTty());
    const MeterSimulator &line = *meter->line();
    QTRY_VERIFY_WITH_TIMEOUT(MeterRequests::isPolled(line, 3), 20000);
    qInfo("port opened %lld ms after the tty's add", line.requests().constFirst().atMs);
    // Opened twice, it would have been calibrated twice.
    QCOMPARE(line.requestCount(MeterSimulator::CalibrationRequest), 1);
    // Out again, or the next row's program would find this meter at start-up.
    meter->unplug();
    QTRY_VERIFY_WITH_TIMEOUT(!line.isLineOpen(), 10000);
}

QTEST_GUILESS_MAIN(TestE2eLateTty)
#include "tst_e2e_latetty.moc"
