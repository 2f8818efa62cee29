#include "usbserialportmonitor.h"
#include "usbtestbed.h"

#include <QtTest>

// The monitor is one per process and its first scan happens once, so the cases
// run in order on one emulated system: the devices plugged before start-up come
// from main(), and each case leaves behind what the next one expects.
class TestUsbSerialPortMonitor : public QObject
{
    Q_OBJECT
public:
    TestUsbSerialPortMonitor(UsbTestbed &testbed, const UsbTestbed::SerialDevice &bootMeter)
        : m_testbed(testbed)
        , m_bootMeter(bootMeter)
    { }

private slots:
    void initTestCase();
    void initialScanListsOnlyKnownProducts();
    void plugAndUnplug_data();
    void plugAndUnplug();
    void burstOfArrivalsSearchesOnlyFirstPath();
    void portFoundTwiceIsListedTwice();

private:
    UsbTestbed::SerialDevice plug(quint16 vendorId, quint16 productId, const QString &serial);

    UsbTestbed &m_testbed;
    const UsbTestbed::SerialDevice m_bootMeter;
    UsbSerialPortMonitor *m_monitor = nullptr;
    int m_nextTty = 10;
};

// Long enough for the 100 ms debounce to have passed many times over.
static const int quietMs = 300;

UsbTestbed::SerialDevice TestUsbSerialPortMonitor::plug(
    quint16 vendorId, quint16 productId, const QString &serial)
{
    UsbTestbed::SerialDevice device = m_testbed.addUsbSerial(
        vendorId, productId, serial, QStringLiteral("ttyACM%1").arg(m_nextTty++));
    // Adding already announced the device; a real second "add" is what udev sends too.
    m_testbed.add(device);
    return device;
}

void TestUsbSerialPortMonitor::initTestCase()
{
    QVERIFY2(UsbTestbed::inMockEnvironment(), "run under umockdev-wrapper");
    m_monitor = UsbSerialPortMonitor::instance();
}

void TestUsbSerialPortMonitor::initialScanListsOnlyKnownProducts()
{
    const QHash<QString, QStringList> expected {
        {"ttyACM0", {"通用电流表"}},
        {"ttyACM1", {"Kestravon-码片编程器"}},
        {"ttyACM2", {"Kestravon-电流表"}},
        {"ttyUSB0", {"Kestravon-阻值测试仪"}},
    };
    QCOMPARE(m_monitor->foundSerials(), expected);
}

void TestUsbSerialPortMonitor::plugAndUnplug_data()
{
    QTest::addColumn<quint16>("vendorId");
    QTest::addColumn<quint16>("productId");
    QTest::addColumn<QString>("serial");
    QTest::addColumn<bool>("reported");
    // The removal's path is lower-cased on the way; the port still carries the serial as written.
    QTest::newRow("meter, upper case")
        << quint16(0x303A) << quint16(0x1001) << "0123456789AB" << true;
    QTest::newRow("meter, mixed case")
        << quint16(0x303A) << quint16(0x1001) << "Meter-01aBc" << true;
    QTest::newRow("unknown vendor") << quint16(0x1234) << quint16(0x1001) << "u1" << false;
    QTest::newRow("unknown product of a known vendor")
        << quint16(0x303A) << quint16(0x1002) << "u2" << false;
    QTest::newRow("vendor and product swapped")
        << quint16(0x1001) << quint16(0x303A) << "u3" << false;
    QTest::newRow("meter without serial number")
        << quint16(0x303A) << quint16(0x1001) << "" << false;
}

void TestUsbSerialPortMonitor::plugAndUnplug()
{
    QFETCH(quint16, vendorId);
    QFETCH(quint16, productId);
    QFETCH(QString, serial);
    QFETCH(bool, reported);
    QSignalSpy found(m_monitor, &UsbSerialPortMonitor::serialFounded);
    QSignalSpy removed(m_monitor, &UsbSerialPortMonitor::serialRemoved);

    const UsbTestbed::SerialDevice device = plug(vendorId, productId, serial);
    QVERIFY(device.isValid());
    QCOMPARE(found.wait(reported ? 5000 : quietMs), reported);
    QVERIFY(!found.wait(quietMs));
    QCOMPARE(found.count(), int(reported));
    if (reported) {
        QCOMPARE(found.at(0).at(0).toString(), device.portName);
        QCOMPARE(found.at(0).at(1).toStringList(), QStringList {"通用电流表"});
        QCOMPARE(m_monitor->foundSerials().value(device.portName), QStringList {"通用电流表"});
    }

    m_testbed.unplug(device);
    QCOMPARE(removed.wait(reported ? 5000 : quietMs), reported);
    QVERIFY(!removed.wait(quietMs));
    QCOMPARE(removed.count(), int(reported));
    if (reported)
        QCOMPARE(removed.at(0).at(0).toString(), device.portName);
    QVERIFY(!m_monitor->foundSerials().contains(device.portName));
}

void TestUsbSerialPortMonitor::burstOfArrivalsSearchesOnlyFirstPath()
{
    QSignalSpy found(m_monitor, &UsbSerialPortMonitor::serialFounded);
    QSignalSpy removed(m_monitor, &UsbSerialPortMonitor::serialRemoved);

    const UsbTestbed::SerialDevice first = plug(0x303A, 0x1001, "burst-1");
    const UsbTestbed::SerialDevice second = plug(0x28E9, 0x018A, "burst-2");
    QVERIFY(found.wait(5000));
    QVERIFY(!found.wait(quietMs));
    QCOMPARE(found.count(), 1);
    QCOMPARE(found.at(0).at(0).toString(), first.portName);
    QVERIFY(!m_monitor->foundSerials().contains(second.portName));

    m_testbed.unplug(first);
    m_testbed.unplug(second);
    QVERIFY(removed.wait(5000));
    QVERIFY(!removed.wait(quietMs));
    QCOMPARE(removed.count(), 1);
    QCOMPARE(removed.at(0).at(0).toString(), first.portName);
}

void TestUsbSerialPortMonitor::portFoundTwiceIsListedTwice()
{
    // The meter found by the first scan announces itself again without having gone away.
    const QString usbSysPath = m_bootMeter.usbSysPath;
    QSignalSpy found(m_monitor, &UsbSerialPortMonitor::serialFounded);
    QSignalSpy removed(m_monitor, &UsbSerialPortMonitor::serialRemoved);

    m_testbed.uevent(usbSysPath, "add");
    QVERIFY(found.wait(5000));
    QCOMPARE(found.at(0).at(0).toString(), m_bootMeter.portName);

    m_testbed.uevent(usbSysPath, "remove");
    QVERIFY(removed.wait(5000));
    QCOMPARE(removed.at(0).at(0).toString(), m_bootMeter.portName);
    QVERIFY(m_monitor->foundSerials().contains(m_bootMeter.portName));

    m_testbed.uevent(usbSysPath, "remove");
    QVERIFY(removed.wait(5000));
    QCOMPARE(removed.at(1).at(0).toString(), m_bootMeter.portName);
    QVERIFY(!m_monitor->foundSerials().contains(m_bootMeter.portName));

    m_testbed.uevent(usbSysPath, "remove");
    QVERIFY(!removed.wait(quietMs));
    QCOMPARE(removed.count(), 2);
}

int main(int argc, char *argv[])
{
    // The testbed has to exist before the application and before any udev monitor.
    UsbTestbed testbed;
    const UsbTestbed::SerialDevice bootMeter
        = testbed.addUsbSerial(0x303A, 0x1001, "BOOT-METER", "ttyACM0");
    testbed.addUsbSerial(0x0483, 0x5740, "BOOT-PROG", "ttyACM1");
    testbed.addUsbSerial(0x28E9, 0x018A, "BOOT-KCM", "ttyACM2");
    testbed.addUsbSerial(0x0403, 0x6001, "BOOT-RES", "ttyUSB0");
    testbed.addUsbSerial(0x1234, 0x5678, "BOOT-UNKNOWN", "ttyUSB1");
    testbed.addUsbSerial(0x303A, 0x1002, "BOOT-OTHER", "ttyUSB2");

    QApplication app(argc, argv);
    TestUsbSerialPortMonitor test(testbed, bootMeter);
    return QTest::qExec(&test, argc, argv);
}

#include "tst_usbserialportmonitor.moc"
