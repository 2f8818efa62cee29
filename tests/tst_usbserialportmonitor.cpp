// SPDX-License-Identifier: GPL-3.0-or-later
#include "commoncurrentusbdevice.h"
#include "meterrequests.h"
#include "usbserialportmonitor.h"
#include "usbtestbed.h"

#include <QtTest>

#include <poll.h>
#include <termios.h>

// The monitor is one per process and scans once, so the cases run in order on
// one emulated system whose start-up devices come from main().
class TestUsbSerialPortMonitor : public QObject
{
    Q_OBJECT
public:
    TestUsbSerialPortMonitor(UsbTestbed &testbed, const UsbTestbed::SerialDevice &meter,
        const UsbTestbed::SerialDevice &programmer)
        : m_testbed(testbed)
        , m_meter(meter)
        , m_programmer(programmer)
    { }

private slots:
    // The meter found at start-up is opened on the device's worker thread, at the
    // meter's line settings, and let go when it is pulled; the programmer beside it
    // is left alone.
    void deviceOpensOnlyTheMeterPort()
    {
        MeterSimulator meter;
        QVERIFY(meter.start(m_meter.hostFd));
        CommonCurrentUSBDevice device;
        QObject receiver;
        int online = 0;
        int offline = 0;
        connect(&device, &CommonCurrentUSBDevice::deviceOnline, &receiver, [&] { ++online; });
        connect(&device, &CommonCurrentUSBDevice::deviceOffline, &receiver, [&] { ++offline; });
        device.startMonitor();
        QTRY_COMPARE_WITH_TIMEOUT(online, 1, 10000);
        // A pty's two ends share one termios: the far end sees what the program set.
        termios settings;
        QCOMPARE(tcgetattr(m_meter.hostFd, &settings), 0);
        QCOMPARE(cfgetospeed(&settings), speed_t(B115200));
        QCOMPARE(settings.c_cflag & (CSIZE | PARENB | CSTOPB | CRTSCTS), tcflag_t(CS8));
        // The far end of a pty reports a hang-up while nobody holds the tty open.
        pollfd programmer {m_programmer.hostFd, POLLIN, 0};
        QVERIFY(poll(&programmer, 1, 0) == 1 && (programmer.revents & POLLHUP));
        QSignalSpy removed(m_monitor, &UsbSerialPortMonitor::serialRemoved);
        m_testbed.unplug(m_programmer);
        QVERIFY(removed.wait(5000));
        QTRY_VERIFY(MeterRequests::isPolled(meter, 3));
        QVERIFY(meter.isLineOpen());
        m_testbed.unplug(m_meter);
        QTRY_COMPARE_WITH_TIMEOUT(offline, 1, 5000);
        QTRY_VERIFY_WITH_TIMEOUT(!meter.isLineOpen(), 5000);
    }

    // A dock announces itself and the meter behind it within one burst, on the way in and on
    // the way out: the meter is found and lost all the same.
    void everyPathOfABurstCounts()
    {
        const qint64 number = 2 * QCoreApplication::applicationPid() + 2;
        QSignalSpy found(m_monitor, &UsbSerialPortMonitor::serialFounded);
        QSignalSpy removed(m_monitor, &UsbSerialPortMonitor::serialRemoved);
        const UsbTestbed::SerialDevice dock = m_testbed.addUsbDevice(
            0x05E3, 0x0608, "DOCK", QStringLiteral("ttyACM%1").arg(number));
        const UsbTestbed::SerialDevice meter = m_testbed.addUsbSerial(
            0x303A, 0x1001, "DOCKED-METER", QStringLiteral("ttyACM%1").arg(number + 1));
        QVERIFY(!dock.usbSysPath.isEmpty() && meter.isValid());
        QVERIFY(found.wait(5000));
        QCOMPARE(found.constFirst().constFirst().toString(), meter.portName);
        m_testbed.remove(dock);
        m_testbed.unplug(meter);
        QVERIFY(removed.wait(5000));
        QCOMPARE(removed.constFirst().constFirst().toString(), meter.portName);
    }

private:
    UsbTestbed &m_testbed;
    const UsbTestbed::SerialDevice m_meter;
    const UsbTestbed::SerialDevice m_programmer;
    UsbSerialPortMonitor *const m_monitor = UsbSerialPortMonitor::instance();
};

int main(int argc, char *argv[])
{
    // The testbed has to exist before the application and before any udev monitor.
    // Ports are locked by name in the machine's one /var/lock: names of this process's own keep
    // runs side by side from locking each other out.
    UsbTestbed testbed;
    const qint64 number = 2 * QCoreApplication::applicationPid();
    const UsbTestbed::SerialDevice meter = testbed.addUsbSerial(
        0x303A, 0x1001, "BOOT-METER", QStringLiteral("ttyACM%1").arg(number));
    const UsbTestbed::SerialDevice programmer = testbed.addUsbSerial(
        0x0483, 0x5740, "BOOT-PROG", QStringLiteral("ttyACM%1").arg(number + 1));

    QApplication app(argc, argv);
    TestUsbSerialPortMonitor test(testbed, meter, programmer);
    return QTest::qExec(&test, argc, argv);
}

#include "tst_usbserialportmonitor.moc"
