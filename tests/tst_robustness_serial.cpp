#include "commoncurrentusbdevice.h"
#include "meterprotocol.h"
#include "metersimulator.h"
#include "usbserialportmonitor.h"

#include <QApplication>
#include <QRandomGenerator>
#include <QtTest>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {

const float Volts = 5.0f;
const float Amperes = 0.25f;
const float Watts = 1.25f;

// A pseudo-terminal whose far end is served by the simulated meter, and on
// which the test can also put bytes of its own, as a meter gone mad would.
class NoisyLine
{
public:
    NoisyLine()
    {
        m_fd = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        char path[128];
        if (m_fd < 0 || grantpt(m_fd) != 0 || unlockpt(m_fd) != 0
            || ptsname_r(m_fd, path, sizeof path) != 0)
            return;
        m_portName = QString::fromLocal8Bit(path);
        m_meter.setProfile(LoadProfile::constant(Volts, Amperes, Watts));
        m_meter.start(m_fd);
    }

    ~NoisyLine()
    {
        m_meter.stop();
        if (m_fd >= 0)
            ::close(m_fd);
    }

    bool isValid() const { return !m_portName.isEmpty(); }
    QString portName() const { return m_portName; }
    MeterSimulator &meter() { return m_meter; }

    // Writes all of it, as fast as the program takes it off the line.
    bool write(const QByteArray &bytes)
    {
        QElapsedTimer clock;
        clock.start();
        int written = 0;
        while (written < bytes.size() && clock.elapsed() < 20000) {
            const ssize_t size
                = ::write(m_fd, bytes.constData() + written, size_t(bytes.size() - written));
            if (size > 0) {
                written += int(size);
                continue;
            }
            pollfd line = {m_fd, POLLOUT, 0};
            ::poll(&line, 1, 10);
        }
        return written == bytes.size();
    }

private:
    int m_fd = -1;
    QString m_portName;
    MeterSimulator m_meter;
};

QByteArray randomBytes(int size, quint32 seed)
{
    QRandomGenerator random(seed);
    QByteArray bytes(size, '\0');
    for (char &byte : bytes)
        byte = char(random.bounded(256));
    return bytes;
}

QByteArray repeated(const QByteArray &unit, int times)
{
    QByteArray bytes;
    for (int i = 0; i < times; ++i)
        bytes += unit;
    return bytes;
}

} // namespace

// Whatever a meter puts on the line must neither crash the program nor stop it
// from reading the meter's good frames once the bad bytes are over. The
// device, its worker and the port are the real ones, on a pseudo-terminal.
class TestRobustnessSerial : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void noiseWhileOnline_data();
    void noiseWhileOnline();
    void noiseThroughTheHandshake();
    void cleanupTestCase();

private:
    NoisyLine m_line;
    CommonCurrentUSBDevice *m_device = nullptr;
    QObject m_receiver;
    int m_onlineCount = 0;
    int m_offlineCount = 0;
    bool m_goodValue = false;
};

void TestRobustnessSerial::initTestCase()
{
    QVERIFY(m_line.isValid());
    m_device = new CommonCurrentUSBDevice;
    connect(
        m_device, &CommonCurrentUSBDevice::deviceOnline, &m_receiver, [this] { ++m_onlineCount; });
    connect(m_device, &CommonCurrentUSBDevice::deviceOffline, &m_receiver,
        [this] { ++m_offlineCount; });
    connect(m_device, &CommonCurrentUSBDevice::parameterChanged, &m_receiver,
        [this](float voltage, float current, float power) {
            if (voltage == Volts && current == Amperes && power == Watts)
                m_goodValue = true;
        });
    // A pseudo-terminal is no USB device: announce it as the monitor would the meter's port.
    m_device->startMonitor();
    emit UsbSerialPortMonitor::instance()->serialFounded(
        m_line.portName(), QStringList {m_device->productName()});
    QTRY_VERIFY_WITH_TIMEOUT(m_goodValue, 10000);
    QCOMPARE(m_onlineCount, 1);
}

void TestRobustnessSerial::noiseWhileOnline_data()
{
    QTest::addColumn<QByteArray>("noise");

    const QByteArray header = MeterProtocol::header();
    // Other values than the meter's, so that only the meter's own frames count as recovery.
    const QByteArray frame = MeterProtocol::measurementReply(1000000, 2000000, 3000000);
    QTest::newRow("random bytes") << randomBytes(256 * 1024, 1);
    QTest::newRow("headers and nothing else") << repeated(header, 64 * 1024);
    QTest::newRow("frames claiming 255 bytes of payload")
        << repeated(header + "\x83\xFF" + randomBytes(251, 2), 256);
    QTest::newRow("good frames back to back") << repeated(frame, 4096);
    QTest::newRow("a frame cut after every byte")
        << repeated(frame.left(17) + randomBytes(1, 3), 4096);
    QTest::newRow("zeros") << QByteArray(256 * 1024, '\0');
}

void TestRobustnessSerial::noiseWhileOnline()
{
    QFETCH(QByteArray, noise);

    const int requestsBefore = m_line.meter().requestCount(MeterSimulator::MeasurementRequest);
    QVERIFY(m_line.write(noise));
    m_goodValue = false;

    QTRY_VERIFY_WITH_TIMEOUT(m_goodValue, 10000);
    QTRY_VERIFY_WITH_TIMEOUT(
        m_line.meter().requestCount(MeterSimulator::MeasurementRequest) > requestsBefore + 5,
        10000);
    QCOMPARE(m_offlineCount, 0);
    QCOMPARE(m_onlineCount, 1);
}

// The handshake takes the reply exactly as it comes, so a flood fails every
// attempt; pulling the meter out must still end the attempts and free the port.
void TestRobustnessSerial::noiseThroughTheHandshake()
{
    NoisyLine line;
    QVERIFY(line.isValid());
    MeterSimulator::Faults silent;
    silent.silent = true;
    line.meter().setFaults(silent);
    CommonCurrentUSBDevice device;
    int online = 0;
    connect(&device, &CommonCurrentUSBDevice::deviceOnline, this, [&online] { ++online; });
    QSignalSpy offline(&device, &CommonCurrentUSBDevice::deviceOffline);

    // Announced to this device alone; the one of the other cases stays on its port.
    QMetaObject::invokeMethod(&device, "onSerialFounded", Q_ARG(QString, line.portName()),
        Q_ARG(QStringList, QStringList {device.productName()}));
    QElapsedTimer flood;
    flood.start();
    for (quint32 part = 100; flood.elapsed() < 2000; ++part)
        QVERIFY(line.write(randomBytes(4096, part)));
    QMetaObject::invokeMethod(&device, "onSerialRemoved", Q_ARG(QString, line.portName()));

    // The close runs on the worker and may emit before a wait() would begin: count instead.
    QTRY_VERIFY_WITH_TIMEOUT(!offline.isEmpty(), 10000);
    QCOMPARE(online, 0);
}

void TestRobustnessSerial::cleanupTestCase()
{
    QSignalSpy offline(m_device, &CommonCurrentUSBDevice::deviceOffline);
    emit UsbSerialPortMonitor::instance()->serialRemoved(m_line.portName());
    QTRY_VERIFY_WITH_TIMEOUT(!offline.isEmpty(), 10000);
    delete m_device;
}

QTEST_MAIN(TestRobustnessSerial)
#include "tst_robustness_serial.moc"
