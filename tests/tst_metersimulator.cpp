#include "loadprofile.h"
#include "meterprotocol.h"
#include "metersimulator.h"

#include <QtTest>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

Q_DECLARE_METATYPE(MeterSimulator::Faults)
Q_DECLARE_METATYPE(MeterSimulator::RequestKind)

namespace {

const QByteArray Example = QByteArray::fromHex("57AB830C004C4B40000186A00007A120D69B");
const int ReadTimeoutMs = 5000;

// The host's end of the simulated line, through plain POSIX calls, so that what
// is tested here is the simulator and not a serial port class.
class LineClient
{
public:
    ~LineClient() { close(); }

    bool open(const QString &path)
    {
        m_fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        termios mode;
        if (m_fd < 0 || tcgetattr(m_fd, &mode) != 0)
            return false;
        cfmakeraw(&mode);
        return tcsetattr(m_fd, TCSANOW, &mode) == 0;
    }

    void close()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
    }

    bool write(const QByteArray &bytes)
    {
        return ::write(m_fd, bytes.constData(), size_t(bytes.size())) == bytes.size();
    }

    // Waits for size bytes, giving up after ReadTimeoutMs.
    QByteArray read(int size)
    {
        QByteArray bytes;
        QDeadlineTimer deadline(ReadTimeoutMs);
        while (bytes.size() < size && !deadline.hasExpired()) {
            pollfd line = {m_fd, POLLIN, 0};
            if (::poll(&line, 1, int(deadline.remainingTime())) <= 0)
                break;
            char buffer[256];
            const ssize_t got = ::read(m_fd, buffer, size_t(qMin<int>(size - bytes.size(), 256)));
            if (got > 0)
                bytes.append(buffer, int(got));
        }
        return bytes;
    }

private:
    int m_fd = -1;
};

MeterSimulator::Faults faults(void (*set)(MeterSimulator::Faults &))
{
    MeterSimulator::Faults faults;
    set(faults);
    return faults;
}

QByteArray invertedLastByte(QByteArray bytes)
{
    bytes[bytes.size() - 1] = char(bytes.at(bytes.size() - 1) ^ 0xFF);
    return bytes;
}

} // namespace

class TestMeterSimulator : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void answers_data();
    void answers();
    void delayedAnswer();
    void unpromptedBytes();
    void lineOpenAndClose();
    void constantProfile_data();
    void constantProfile();
    void benchProfile();

private:
    bool openLine();

    std::unique_ptr<MeterSimulator> m_meter;
    LineClient m_client;
};

void TestMeterSimulator::init()
{
    m_meter.reset(new MeterSimulator);
    m_meter->setProfile(LoadProfile::constant(5.0, 0.1, 0.5));
    m_meter->setCalibrationValue(0x1234);
    QVERIFY2(m_meter->startOnPty(), qPrintable(m_meter->errorString()));
}

void TestMeterSimulator::cleanup()
{
    m_client.close();
    m_meter.reset();
}

bool TestMeterSimulator::openLine()
{
    return m_client.open(m_meter->portName())
        && QTest::qWaitFor([this] { return m_meter->isLineOpen(); }, ReadTimeoutMs);
}

void TestMeterSimulator::answers_data()
{
    using Faults = MeterSimulator::Faults;
    using Replies = QVector<QByteArray>;
    QTest::addColumn<Faults>("faults");
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<Replies>("replies");
    QTest::addColumn<int>("otherBytes");

    const QByteArray request = MeterProtocol::measurementRequest();
    const QByteArray junk = QByteArray::fromHex("A55700");
    const QByteArray wrongCode
        = MeterProtocol::frame(MeterProtocol::MeasurementCode, Example.mid(4, 12));

    QTest::newRow("sound") << Faults() << request << Replies {Example, Example, Example} << 0;
    QTest::newRow("silent") << faults([](Faults &f) { f.silent = true; }) << request
                            << Replies {{}, {}, {}} << 0;
    QTest::newRow("junk before the header") << faults([](Faults &f) { f.junkBeforeHeader = true; })
                                            << request << Replies(3, junk + Example) << 0;
    QTest::newRow("split frame") << faults([](Faults &f) { f.splitFrame = true; }) << request
                                 << Replies(3, Example) << 0;
    QTest::newRow("two frames in one write") << faults([](Faults &f) { f.twoFrames = true; })
                                             << request << Replies(3, Example + Example) << 0;
    QTest::newRow("bad crc") << faults([](Faults &f) { f.badCrc = true; }) << request
                             << Replies(3, invertedLastByte(Example)) << 0;
    QTest::newRow("wrong code") << faults([](Faults &f) { f.wrongCode = true; }) << request
                                << Replies(3, wrongCode) << 0;
    QTest::newRow("answer only twice") << faults([](Faults &f) { f.answerLimit = 2; }) << request
                                       << Replies {Example, Example, {}} << 0;
    QTest::newRow("silent twice, then sound") << faults([](Faults &f) {
        f.silent = true;
        f.faultLimit = 2;
    }) << request << Replies {{}, {}, Example} << 0;
    QTest::newRow("junk once, then sound") << faults([](Faults &f) {
        f.junkBeforeHeader = true;
        f.faultLimit = 1;
    }) << request << Replies {junk + Example, Example, Example}
                                           << 0;
    QTest::newRow("unknown command")
        << Faults() << QByteArray::fromHex("57AB05000000") << Replies {{}, {}, {}} << 3;
    QTest::newRow("stray bytes before a request")
        << Faults() << QByteArray::fromHex("0011") + request << Replies(3, Example) << 3;
    QTest::newRow("unfinished frame before a request")
        << Faults() << QByteArray::fromHex("57AB03") + request << Replies(3, Example) << 3;
}

// Each measurement request is followed by a sound calibration exchange: its reply
// must come next and alone, which shows that nothing else was sent meanwhile.
void TestMeterSimulator::answers()
{
    QFETCH(MeterSimulator::Faults, faults);
    QFETCH(QByteArray, request);
    QFETCH(QVector<QByteArray>, replies);

    m_meter->setFaults(MeterSimulator::MeasurementRequest, faults);
    QVERIFY(openLine());
    const QByteArray calibration = MeterProtocol::calibrationReply(0x1234);
    for (const QByteArray &reply : replies) {
        QVERIFY(m_client.write(request));
        if (!reply.isEmpty())
            QCOMPARE(m_client.read(reply.size()).toHex(' '), reply.toHex(' '));
        QVERIFY(m_client.write(MeterProtocol::calibrationRequest()));
        QCOMPARE(m_client.read(calibration.size()).toHex(' '), calibration.toHex(' '));
    }

    QCOMPARE(m_meter->requestCount(MeterSimulator::CalibrationRequest), replies.size());
    QTEST(m_meter->requestCount(MeterSimulator::OtherBytes), "otherBytes");
    int answered = 0;
    for (const MeterSimulator::Request &recorded : m_meter->requests()) {
        if (recorded.kind == MeterSimulator::MeasurementRequest) {
            QCOMPARE(recorded.bytes, MeterProtocol::measurementRequest());
            QCOMPARE(recorded.reply, replies.value(answered++));
        }
    }
    QCOMPARE(answered, m_meter->requestCount(MeterSimulator::MeasurementRequest));
}

void TestMeterSimulator::delayedAnswer()
{
    MeterSimulator::Faults late;
    late.replyDelayMs = 300;
    m_meter->setFaults(late);
    QVERIFY(openLine());

    QElapsedTimer sinceRequest;
    sinceRequest.start();
    QVERIFY(m_client.write(MeterProtocol::measurementRequest()));
    QCOMPARE(m_client.read(Example.size()), Example);
    QVERIFY2(sinceRequest.elapsed() >= late.replyDelayMs,
        qPrintable(QString::number(sinceRequest.elapsed())));
}

void TestMeterSimulator::unpromptedBytes()
{
    QVERIFY(openLine());
    const QByteArray acknowledgement = MeterProtocol::acknowledgement(true);
    m_meter->sendUnprompted(acknowledgement);
    QCOMPARE(m_client.read(acknowledgement.size()), acknowledgement);
    QVERIFY(m_meter->requests().isEmpty());
}

// Nobody has the line open at first and after a close; reads fail with EIO
// then, and the simulator must keep serving through it.
void TestMeterSimulator::lineOpenAndClose()
{
    QVERIFY(!m_meter->isLineOpen());
    for (int session = 1; session <= 2; ++session) {
        QVERIFY(openLine());
        QVERIFY(m_client.write(MeterProtocol::measurementRequest()));
        QCOMPARE(m_client.read(Example.size()), Example);
        m_client.close();
        QTRY_COMPARE_WITH_TIMEOUT(m_meter->lineCloseCount(), session, ReadTimeoutMs);
        QVERIFY(!m_meter->isLineOpen());
    }
    QCOMPARE(m_meter->requestCount(MeterSimulator::MeasurementRequest), 2);
}

void TestMeterSimulator::constantProfile_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<quint32>("micro");

    QTest::newRow("5 V") << 5.0 << quint32(5000000);
    QTest::newRow("0.1 A") << 0.1 << quint32(100000);
    QTest::newRow("rounded to the nearest micro-unit") << 1.0000004 << quint32(1000000);
    QTest::newRow("zero") << 0.0 << quint32(0);
    QTest::newRow("negative clamps to zero") << -1.0 << quint32(0);
    QTest::newRow("not a number gives zero") << qQNaN() << quint32(0);
    QTest::newRow("largest") << 4294.967295 << quint32(0xFFFFFFFF);
    QTest::newRow("too large clamps") << 1e9 << quint32(0xFFFFFFFF);
}

void TestMeterSimulator::constantProfile()
{
    QFETCH(double, value);
    QFETCH(quint32, micro);

    const LoadProfile profile = LoadProfile::constant(value, value, value);
    for (quint64 index : {0ULL, 1ULL, 1000000ULL}) {
        const MeterReading reading = profile.reading(index);
        QCOMPARE(reading.microvolts, micro);
        QCOMPARE(reading.microamperes, micro);
        QCOMPARE(reading.microwatts, micro);
    }
}

// The bench profile must look like a device under test and drive every dial
// range: 0-300 mA while idle, 0-2 A in bursts and the stretch, 0-5 A in the step.
void TestMeterSimulator::benchProfile()
{
    const LoadProfile bench = LoadProfile::bench(7);
    const int cycle = LoadProfile::benchCycleLength();
    int idle = 0, bursts = 0, stretch = 0, step = 0;
    for (int index = 0; index < cycle; ++index) {
        const MeterReading reading = bench.reading(index);
        const double amperes = reading.microamperes / 1e6;
        const double volts = reading.microvolts / 1e6;
        QVERIFY2(volts > 4.85 && volts < 5.02, qPrintable(QString::number(volts)));
        const double watts = volts * amperes;
        QVERIFY(qAbs(reading.microwatts / 1e6 - watts) < 1e-5);
        idle += amperes > 0.040 && amperes < 0.050;
        bursts += amperes > 0.320 && amperes < 0.380;
        stretch += amperes > 1.15 && amperes < 1.25;
        step += amperes > 3.4 && amperes < 3.6;
    }
    QCOMPARE(idle + bursts + stretch + step, cycle);
    QVERIFY(idle > cycle / 3);
    QVERIFY(bursts >= 8);
    QVERIFY(stretch >= 50);
    QVERIFY(step >= 30);

    int differences = 0;
    const LoadProfile again = LoadProfile::bench(7);
    const LoadProfile other = LoadProfile::bench(8);
    for (int index = 0; index < cycle; ++index) {
        QCOMPARE(again.reading(index).microvolts, bench.reading(index).microvolts);
        differences += other.reading(index).microvolts != bench.reading(index).microvolts;
    }
    QVERIFY(differences > cycle / 2);
}

QTEST_GUILESS_MAIN(TestMeterSimulator)
#include "tst_metersimulator.moc"
