#include "imagecheck.h"
#include "meterbench.h"
#include "meterrequests.h"
#include "programundertest.h"
#include "simulatedmeter.h"

#include <QGuiApplication>
#include <QScreen>
#include <QtTest>

namespace {

const QColor ConnectedBlue(55, 167, 255);
const QColor WindowBackground(0x0E, 0x14, 0x1B);
const int TitleBarHeight = 46;

QImage grabScreen()
{
    return QGuiApplication::primaryScreen()->grabWindow(0).toImage().convertToFormat(
        QImage::Format_ARGB32);
}

// The program's window on the otherwise black screen of the virtual display.
QRect windowRect(const QImage &screen)
{
    QRect rect;
    for (int y = 0; y < screen.height(); y += 2) {
        for (int x = 0; x < screen.width(); x += 2) {
            if (ImageCheck::colorsMatch(screen.pixelColor(x, y), WindowBackground, 4))
                rect |= QRect(x, y, 2, 2);
        }
    }
    return rect;
}

QRect titleBar(const QRect &window)
{
    return QRect(window.topLeft(), QSize(window.width(), TitleBarHeight));
}

QRect pageArea(const QRect &window)
{
    return window.adjusted(0, TitleBarHeight + 3, 0, 0);
}

} // namespace

// The real program, started the way a user starts it, with a meter plugged in
// and pulled out from outside, on a real (virtual) X display.
class TestE2ePlug : public QObject
{
    Q_OBJECT

public:
    explicit TestE2ePlug(MeterBench &bench)
        : m_meter(bench.addMeter(QStringLiteral("E2E-PLUG-01")))
    { }

private slots:
    void initTestCase();
    void plugAndUnplug_data();
    void plugAndUnplug();

private:
    QImage screenshot(const QString &name);
    int connectedPixels(const QImage &screen) const;

    SimulatedMeter *m_meter;
    ProgramUnderTest m_program;
    QRect m_window;
    QImage m_offlineScreen;
};

QImage TestE2ePlug::screenshot(const QString &name)
{
    const QImage screen = grabScreen();
    const QString path = ImageCheck::save(screen.copy(m_window), name);
    if (path.isEmpty())
        qWarning("could not save %s", qPrintable(name));
    return screen;
}

int TestE2ePlug::connectedPixels(const QImage &screen) const
{
    return ImageCheck::countColorIn(screen, titleBar(m_window), ConnectedBlue, 30);
}

void TestE2ePlug::initTestCase()
{
    QVERIFY2(MeterBench::inMockEnvironment(), "run under umockdev-wrapper");
    QVERIFY2(m_program.start(), qPrintable(m_program.errorString()));
    // The window is up when a good part of the screen has its background.
    QTRY_VERIFY_WITH_TIMEOUT(windowRect(grabScreen()).width() > 600, 20000);
    m_window = windowRect(grabScreen());
    QTRY_COMPARE_WITH_TIMEOUT(connectedPixels(screenshot("e2e_plug_before")), 0, 5000);
    m_offlineScreen = grabScreen();
}

void TestE2ePlug::plugAndUnplug_data()
{
    QTest::addColumn<int>("calibration");
    QTest::addColumn<double>("volts");
    QTest::addColumn<double>("amperes");

    // The same meter each time, on a fresh ttyACM node, reading something else.
    QTest::newRow("first plug") << 4321 << 5.12 << 0.256;
    QTest::newRow("plugged again") << 777 << 3.3 << 1.5;
    QTest::newRow("and again") << 65535 << 12.0 << 4.2;
}

void TestE2ePlug::plugAndUnplug()
{
    QFETCH(int, calibration);
    QFETCH(double, volts);
    QFETCH(double, amperes);
    const QString row = QString::fromLatin1(QTest::currentDataTag()).replace(' ', '_');
    const QString previousPort = m_meter->portName();
    const int calibrationLinesBefore = m_program->logLinesContaining("校准参数").size();

    m_meter->setCalibrationValue(quint16(calibration));
    m_meter->setProfile(LoadProfile::constant(volts, amperes, volts * amperes));
    QVERIFY2(m_meter->plug(), qPrintable(m_meter->errorString()));
    QVERIFY(m_meter->portName() != previousPort);
    const MeterSimulator &line = *m_meter->line();

    // Handshake, one calibration read, then a poll every 100 ms.
    QTRY_VERIFY_WITH_TIMEOUT(MeterRequests::isPolled(line, 15), 20000);
    const QVector<MeterSimulator::RequestKind> kinds = MeterRequests::kinds(line);
    QCOMPARE(kinds.value(0), MeterSimulator::MeasurementRequest);
    QCOMPARE(kinds.value(1), MeterSimulator::CalibrationRequest);
    QCOMPARE(kinds.count(MeterSimulator::CalibrationRequest), 1);
    QCOMPARE(kinds.count(MeterSimulator::OtherBytes), 0);
    const qint64 pollInterval = MeterRequests::medianPollIntervalMs(line);
    qInfo("%s: polled every %lld ms", qPrintable(row), pollInterval);
    QVERIFY2(pollInterval >= 70 && pollInterval <= 150, qPrintable(QString::number(pollInterval)));

    QTRY_COMPARE(m_program->logLinesContaining("校准参数").size(), calibrationLinesBefore + 1);
    const QString calibrationLine = m_program->logLinesContaining("校准参数").constLast();
    QVERIFY2(calibrationLine.contains(QString::number(calibration)), qPrintable(calibrationLine));

    QTRY_VERIFY_WITH_TIMEOUT(connectedPixels(grabScreen()) > 20, 5000);
    const QImage online = screenshot("e2e_plug_" + row + "_online");
    const QImage offlinePage = m_offlineScreen.copy(pageArea(m_window));
    const QImage onlinePage = online.copy(pageArea(m_window));
    QVERIFY(onlinePage != offlinePage);

    QElapsedTimer sinceUnplug;
    sinceUnplug.start();
    m_meter->unplug();
    QTRY_VERIFY_WITH_TIMEOUT(!line.isLineOpen() && line.lineCloseCount() > 0, 10000);
    const qint64 closedAfter = sinceUnplug.elapsed();
    qInfo("%s: port closed %lld ms after the unplug", qPrintable(row), closedAfter);
    QVERIFY2(closedAfter < 500, qPrintable(QString::number(closedAfter)));
    QTRY_COMPARE_WITH_TIMEOUT(connectedPixels(grabScreen()), 0, 5000);
    screenshot("e2e_plug_" + row + "_unplugged");
}

int main(int argc, char *argv[])
{
    // The emulated USB bus has to exist before the application object.
    MeterBench bench;
    QGuiApplication app(argc, argv);
    TestE2ePlug test(bench);
    return QTest::qExec(&test, argc, argv);
}

#include "tst_e2e_plug.moc"
