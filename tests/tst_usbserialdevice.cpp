#include "usbserialdevice.h"
#include "usbserialportmonitor.h"
#include "usbtestbed.h"

#include <QSerialPort>
#include <QtTest>

#include <poll.h>
#include <termios.h>
#include <unistd.h>

// A device whose hooks report, by queued signals, on which thread and with which port they ran.
class ProbeDevice : public USBSerialDevice
{
    Q_OBJECT
public:
    explicit ProbeDevice(const QString &product)
        : m_product(product)
    { }
    ~ProbeDevice() override { stopWorker(); }

    QString productName() const override { return m_product; }
    int baudRate() const override { return 115200; }

    QAtomicPointer<QThread> workerThread;
    QAtomicInt exchangeStarted;
    // Outside the device, so that it can still be read once the device is gone.
    QAtomicInt *exchangeFinished = nullptr;

signals:
    void opened(const QString &portName, bool onGuiThread);

public slots:
    void openImpl(const QString &portName) override
    {
        workerThread.storeRelease(QThread::currentThread());
        USBSerialDevice::openImpl(portName);
    }
    void afterOpenInit() override { emit opened(serialPort()->portName(), onGuiThread()); }
    // Stands in for a blocking handshake: waits for an answer that never comes.
    void writeAndWaitImpl(const QByteArray &bytes) override
    {
        exchangeStarted.storeRelease(1);
        writeImpl(bytes);
        if (serialPort())
            serialPort()->waitForReadyRead(300);
        if (exchangeFinished)
            exchangeFinished->storeRelease(1);
    }

private:
    static bool onGuiThread() { return QThread::currentThread() == qApp->thread(); }

    QString m_product;
};

// Receives the probe's signals on the GUI thread, where QSignalSpy can safely watch them.
class Relay : public QObject
{
    Q_OBJECT
public:
    explicit Relay(ProbeDevice *device)
    {
        connect(device, &ProbeDevice::opened, this, &Relay::opened);
    }
signals:
    void opened(const QString &portName, bool onGuiThread);
};

// Reads the far end of a tty until the bytes end with `last`, or until the time is up.
static QByteArray readHostUntil(int fd, const QByteArray &last, int timeoutMs = 5000)
{
    QByteArray data;
    QElapsedTimer clock;
    clock.start();
    while (!data.endsWith(last) && clock.elapsed() < timeoutMs) {
        pollfd p {fd, POLLIN, 0};
        if (poll(&p, 1, 20) > 0 && (p.revents & POLLIN)) {
            char buffer[256];
            const ssize_t n = read(fd, buffer, sizeof buffer);
            if (n > 0)
                data.append(buffer, int(n));
        } else {
            // Hung up: the program does not hold the tty (yet).
            QTest::qWait(10);
        }
    }
    return data;
}

// The far end of a pty reports a hang-up while nobody holds the tty open.
static bool heldByProgram(int hostFd)
{
    pollfd p {hostFd, POLLIN, 0};
    return poll(&p, 1, 0) >= 0 && !(p.revents & POLLHUP);
}

// The monitor is one per process and scans once, so the cases run in order on
// one emulated system and each leaves the state the next one expects.
class TestUsbSerialDevice : public QObject
{
    Q_OBJECT
public:
    TestUsbSerialDevice(UsbTestbed &testbed, const UsbTestbed::SerialDevice &meter,
        const UsbTestbed::SerialDevice &programmer)
        : m_testbed(testbed)
        , m_meter(meter)
        , m_programmer(programmer)
    { }

private slots:
    void initTestCase();
    void opensOnWorkerThreadAndWritesOnlyWhileOpen();
    void destroyingDeviceJoinsWorkerAfterBlockingExchange();
    void monitorOpensAndClosesTheMatchingPort();
    void wildcardDeviceTakesFirstReportedPort();
    void cleanupTestCase();

private:
    UsbTestbed &m_testbed;
    const UsbTestbed::SerialDevice m_meter;
    const UsbTestbed::SerialDevice m_programmer;
    ProbeDevice *m_unmonitored = nullptr;
    ProbeDevice *m_meterDevice = nullptr;
};

void TestUsbSerialDevice::initTestCase()
{
    QVERIFY2(UsbTestbed::inMockEnvironment(), "run under umockdev-wrapper");
    QVERIFY(m_meter.isValid());
    QVERIFY(m_programmer.isValid());
    m_unmonitored = new ProbeDevice(QStringLiteral("no such product"));
}

void TestUsbSerialDevice::opensOnWorkerThreadAndWritesOnlyWhileOpen()
{
    Relay relay(m_unmonitored);
    QSignalSpy opened(&relay, &Relay::opened);

    m_unmonitored->write("before-open");
    m_unmonitored->open(m_meter.portName);
    QVERIFY(opened.wait(5000));
    QCOMPARE(opened.at(0).at(0).toString(), m_meter.portName);
    QCOMPARE(opened.at(0).at(1).toBool(), false);

    // A pty's two ends share one termios: the far end sees what the program set.
    termios settings;
    QCOMPARE(tcgetattr(m_meter.hostFd, &settings), 0);
    QCOMPARE(cfgetospeed(&settings), speed_t(B115200));
    QCOMPARE(settings.c_cflag & (CSIZE | PARENB | CSTOPB | CRTSCTS), tcflag_t(CS8));

    m_unmonitored->write("while-open");
    QCOMPARE(readHostUntil(m_meter.hostFd, "while-open"), QByteArray("while-open"));

    m_unmonitored->close();
    m_unmonitored->write("after-close");
    QTRY_VERIFY_WITH_TIMEOUT(!heldByProgram(m_meter.hostFd), 5000);

    // Queued calls run in order, so whatever was written before open or after close would come
    // first.
    m_unmonitored->open(m_meter.portName);
    m_unmonitored->write("reopened");
    QCOMPARE(readHostUntil(m_meter.hostFd, "reopened"), QByteArray("reopened"));
    QTRY_COMPARE(opened.count(), 2);
}

void TestUsbSerialDevice::destroyingDeviceJoinsWorkerAfterBlockingExchange()
{
    QThread *worker = m_unmonitored->workerThread.loadAcquire();
    QVERIFY(worker);
    QAtomicInt workerFinished;
    connect(
        worker, &QThread::finished, worker, [&] { workerFinished.storeRelease(1); },
        Qt::DirectConnection);

    QAtomicInt exchangeFinished;
    m_unmonitored->exchangeFinished = &exchangeFinished;

    m_unmonitored->writeAndWait("ping");
    QTRY_VERIFY_WITH_TIMEOUT(m_unmonitored->exchangeStarted.loadAcquire(), 5000);
    QCOMPARE(exchangeFinished.loadAcquire(), 0);
    QCOMPARE(workerFinished.loadAcquire(), 0);

    delete m_unmonitored;
    m_unmonitored = nullptr;
    QCOMPARE(exchangeFinished.loadAcquire(), 1);
    QCOMPARE(workerFinished.loadAcquire(), 1);
    QVERIFY(!heldByProgram(m_meter.hostFd));
    QCOMPARE(readHostUntil(m_meter.hostFd, "ping"), QByteArray("ping"));
}

void TestUsbSerialDevice::monitorOpensAndClosesTheMatchingPort()
{
    m_meterDevice = new ProbeDevice(QStringLiteral("通用电流表"));
    Relay relay(m_meterDevice);
    QSignalSpy opened(&relay, &Relay::opened);
    QSignalSpy removed(UsbSerialPortMonitor::instance(), &UsbSerialPortMonitor::serialRemoved);

    m_meterDevice->startMonitor();
    QVERIFY(opened.wait(5000));
    QCOMPARE(opened.at(0).at(0).toString(), m_meter.portName);

    // Neither a second open nor the removal of another port moves it off the meter.
    m_meterDevice->open(m_programmer.portName);
    m_testbed.unplug(m_programmer);
    QVERIFY(removed.wait(5000));
    m_meterDevice->write("still-meter");
    QCOMPARE(readHostUntil(m_meter.hostFd, "still-meter"), QByteArray("still-meter"));
    QCOMPARE(opened.count(), 1);

    m_testbed.unplug(m_meter);
    QTRY_VERIFY_WITH_TIMEOUT(!heldByProgram(m_meter.hostFd), 5000);
}

void TestUsbSerialDevice::wildcardDeviceTakesFirstReportedPort()
{
    ProbeDevice anyProduct(QStringLiteral("*"));
    Relay anyRelay(&anyProduct);
    QSignalSpy anyOpened(&anyRelay, &Relay::opened);
    Relay meterRelay(m_meterDevice);
    QSignalSpy meterOpened(&meterRelay, &Relay::opened);

    anyProduct.startMonitor();

    const UsbTestbed::SerialDevice tester
        = m_testbed.addUsbSerial(0x0403, 0x6001, "tester-1", QStringLiteral("ttyUSB0"));
    QVERIFY(tester.isValid());
    QVERIFY(anyOpened.wait(5000));
    QCOMPARE(anyOpened.at(0).at(0).toString(), tester.portName);
    QCOMPARE(meterOpened.count(), 0);
}

void TestUsbSerialDevice::cleanupTestCase()
{
    delete m_unmonitored;
    delete m_meterDevice;
}

int main(int argc, char *argv[])
{
    // The testbed has to exist before the application and before any udev monitor.
    UsbTestbed testbed;
    const UsbTestbed::SerialDevice meter
        = testbed.addUsbSerial(0x303A, 0x1001, "meter-1", QStringLiteral("ttyACM0"));
    const UsbTestbed::SerialDevice programmer
        = testbed.addUsbSerial(0x0483, 0x5740, "programmer-1", QStringLiteral("ttyACM1"));

    QApplication app(argc, argv);
    TestUsbSerialDevice test(testbed, meter, programmer);
    return QTest::qExec(&test, argc, argv);
}

#include "tst_usbserialdevice.moc"
