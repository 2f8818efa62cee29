#include "loadprofile.h"
#include "meterprotocol.h"
#include "metersimulator.h"

#include <QtTest>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

Q_DECLARE_METATYPE(MeterSimulator::Faults)

namespace {

const QByteArray Example = QByteArray::fromHex("57AB830C004C4B40000186A00007A120D69B");
const int ReadTimeoutMs = 5000;

// The host's end of the simulated line, through plain POSIX calls, so that what
// is tested here is the simulator and not a serial port class.
class LineClient
{
public:
    ~LineClient() { ::close(m_fd); }

    bool open(const QString &path)
    {
        m_fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        termios mode;
        if (m_fd < 0 || tcgetattr(m_fd, &mode) != 0)
            return false;
        cfmakeraw(&mode);
        return tcsetattr(m_fd, TCSANOW, &mode) == 0;
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

MeterSimulator::Faults fault(bool MeterSimulator::Faults::*which, int limit = -1)
{
    MeterSimulator::Faults faults;
    faults.*which = true;
    faults.faultLimit = limit;
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
    void answers_data();
    void answers();
};

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

    Faults late;
    late.replyDelayMs = 300;
    Faults onlyTwice;
    onlyTwice.answerLimit = 2;
    QTest::newRow("sound") << Faults() << request << Replies {Example, Example, Example} << 0;
    QTest::newRow("late") << late << request << Replies(3, Example) << 0;
    QTest::newRow("silent") << fault(&Faults::silent) << request << Replies {{}, {}, {}} << 0;
    QTest::newRow("junk before the header")
        << fault(&Faults::junkBeforeHeader) << request << Replies(3, junk + Example) << 0;
    QTest::newRow("split frame") << fault(&Faults::splitFrame) << request << Replies(3, Example)
                                 << 0;
    QTest::newRow("two frames in one write")
        << fault(&Faults::twoFrames) << request << Replies(3, Example + Example) << 0;
    QTest::newRow("bad crc") << fault(&Faults::badCrc) << request
                             << Replies(3, invertedLastByte(Example)) << 0;
    QTest::newRow("wrong code") << fault(&Faults::wrongCode) << request << Replies(3, wrongCode)
                                << 0;
    QTest::newRow("answer only twice")
        << onlyTwice << request << Replies {Example, Example, {}} << 0;
    QTest::newRow("silent twice, then sound")
        << fault(&Faults::silent, 2) << request << Replies {{}, {}, Example} << 0;
    QTest::newRow("unknown command")
        << Faults() << QByteArray::fromHex("57AB05000000") << Replies {{}, {}, {}} << 3;
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

    MeterSimulator meter;
    meter.setProfile(LoadProfile::constant(5.0, 0.1, 0.5));
    meter.setCalibrationValue(0x1234);
    QVERIFY2(meter.startOnPty(), qPrintable(meter.errorString()));
    meter.setFaults(MeterSimulator::MeasurementRequest, faults);
    LineClient client;
    QVERIFY(client.open(meter.portName()));
    QTRY_VERIFY_WITH_TIMEOUT(meter.isLineOpen(), ReadTimeoutMs);

    const QByteArray calibration = QByteArray::fromHex("57AB820400001234FC8E");
    for (const QByteArray &reply : replies) {
        QElapsedTimer sinceRequest;
        sinceRequest.start();
        QVERIFY(client.write(request));
        if (!reply.isEmpty()) {
            QCOMPARE(client.read(reply.size()).toHex(' '), reply.toHex(' '));
            QVERIFY(sinceRequest.elapsed() >= faults.replyDelayMs);
        }
        QVERIFY(client.write(MeterProtocol::calibrationRequest()));
        QCOMPARE(client.read(calibration.size()).toHex(' '), calibration.toHex(' '));
    }

    QCOMPARE(meter.requestCount(MeterSimulator::CalibrationRequest), replies.size());
    QTEST(meter.requestCount(MeterSimulator::OtherBytes), "otherBytes");
    int answered = 0;
    for (const MeterSimulator::Request &recorded : meter.requests()) {
        if (recorded.kind == MeterSimulator::MeasurementRequest) {
            QCOMPARE(recorded.bytes, MeterProtocol::measurementRequest());
            QCOMPARE(recorded.reply, replies.value(answered++));
        }
    }
    QCOMPARE(answered, meter.requestCount(MeterSimulator::MeasurementRequest));
}

QTEST_GUILESS_MAIN(TestMeterSimulator)
#include "tst_metersimulator.moc"
