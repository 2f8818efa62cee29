#include "usbserialportmonitor.h"
#include "usbtestbed.h"

#include <QtTest>

// The monitor is one per process and scans once, so the cases run in order on one
// emulated system whose start-up devices come from main().
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
    void plugAndUnplug();
    void portFoundTwiceIsListedTwice();

private:
    UsbTestbed::SerialDevice plug(quint16 vendorId, quint16 productId, const QString &serial);

    UsbTestbed &m_testbed;
    const UsbTestbed::SerialDevice m_bootMeter;
    UsbSerialPortMonitor *const m_monitor = UsbSerialPortMonitor::instance();
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

void TestUsbSerialPortMonitor::plugAndUnplug()
{
    QSignalSpy found(m_monitor, &UsbSerialPortMonitor::serialFounded);
    QSignalSpy removed(m_monitor, &UsbSerialPortMonitor::serialRemoved);

    // A vendor of the table with a product that is not in it.
    const UsbTestbed::SerialDevice unknown = plug(0x303A, 0x1002, "unknown-1");
    QVERIFY(!found.wait(quietMs));
    // The removal's path is lower-cased on the way; the port still carries the serial as written.
    // Arrivals within the debounce are searched for by the first path only.
    const UsbTestbed::SerialDevice meter = plug(0x303A, 0x1001, "Meter-01aBc");
    plug(0x28E9, 0x018A, "burst-2");
    QVERIFY(found.wait(5000));
    QVERIFY(!found.wait(quietMs));
    QCOMPARE(found.count(), 1);
    QCOMPARE(found.at(0).at(0).toString(), meter.portName);
    QCOMPARE(found.at(0).at(1).toStringList(), QStringList {"通用电流表"});

    m_testbed.unplug(unknown);
    QVERIFY(!removed.wait(quietMs));
    m_testbed.unplug(meter);
    QVERIFY(removed.wait(5000));
    QVERIFY(!removed.wait(quietMs));
    QCOMPARE(removed.count(), 1);
    QCOMPARE(removed.at(0).at(0).toString(), meter.portName);
}

void TestUsbSerialPortMonitor::portFoundTwiceIsListedTwice()
{
    // The meter found by the first scan announces itself again without having gone away.
    QSignalSpy found(m_monitor, &UsbSerialPortMonitor::serialFounded);
    QSignalSpy removed(m_monitor, &UsbSerialPortMonitor::serialRemoved);

    m_testbed.uevent(m_bootMeter.usbSysPath, "add");
    QVERIFY(found.wait(5000));

    m_testbed.uevent(m_bootMeter.usbSysPath, "remove");
    QVERIFY(removed.wait(5000));
    QCOMPARE(removed.at(0).at(0).toString(), m_bootMeter.portName);
    QVERIFY(m_monitor->foundSerials().contains(m_bootMeter.portName));

    m_testbed.uevent(m_bootMeter.usbSysPath, "remove");
    QVERIFY(removed.wait(5000));
    QVERIFY(!m_monitor->foundSerials().contains(m_bootMeter.portName));
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
