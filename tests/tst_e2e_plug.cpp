#include "imagecheck.h"
#include "meterbench.h"
#include "meterrequests.h"
#include "programundertest.h"
#include "simulatedmeter.h"

#include <QGuiApplication>
#include <QScreen>
#include <QtTest>

#include <algorithm>
#include <cmath>

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

// Small text is mostly antialiased edge: a pixel belongs to text of colour ink
// when it lies, within tolerance, on the blend from the background to the ink,
// at least half way along.
bool isTextInk(const QColor &pixel, const QColor &ink)
{
    const double ground[3]
        = {WindowBackground.redF(), WindowBackground.greenF(), WindowBackground.blueF()};
    const double toInk[3]
        = {ink.redF() - ground[0], ink.greenF() - ground[1], ink.blueF() - ground[2]};
    const double offset[3]
        = {pixel.redF() - ground[0], pixel.greenF() - ground[1], pixel.blueF() - ground[2]};
    const double along = (offset[0] * toInk[0] + offset[1] * toInk[1] + offset[2] * toInk[2])
        / (toInk[0] * toInk[0] + toInk[1] * toInk[1] + toInk[2] * toInk[2]);
    if (along < 0.5 || along > 1.05)
        return false;
    double distance = 0;
    for (int i = 0; i < 3; ++i)
        distance = std::max(distance, std::abs(offset[i] - along * toInk[i]));
    return distance <= 12 / 255.0;
}

int countTextInk(const QImage &image, const QRect &rect, const QColor &ink)
{
    int count = 0;
    const QRect inside = rect & image.rect();
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x)
            count += isTextInk(image.pixelColor(x, y), ink);
    }
    return count;
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
    void cleanup();

private:
    QImage screenshot(const QString &name);
    // The checked view button in the same bar is a neighbouring blue (26, 159, 254);
    // the few of its edge pixels that pass are there with the meter and without, so
    // only the difference counts.
    int connectedPixels(const QImage &screen) const
    {
        return countTextInk(screen,
            QRect(m_window.topLeft(), QSize(m_window.width(), TitleBarHeight)), ConnectedBlue);
    }
    QImage page(const QImage &screen) const
    {
        return screen.copy(m_window.adjusted(0, TitleBarHeight + 3, 0, 0));
    }

    SimulatedMeter *m_meter;
    ProgramUnderTest m_program;
    QRect m_window;
    QImage m_offlineScreen;
    int m_offlineBluePixels = 0;
};

// The needle takes 300 ms to swing: the screen has settled once two grabs a
// little longer apart than that agree.
QImage TestE2ePlug::screenshot(const QString &name)
{
    QImage previous = grabScreen();
    QElapsedTimer sincePrevious;
    sincePrevious.start();
    QImage screen;
    const bool settled = QTest::qWaitFor(
        [&] {
            if (sincePrevious.elapsed() < 350)
                return false;
            screen = grabScreen();
            const bool same = screen == previous;
            previous = screen;
            sincePrevious.restart();
            return same;
        },
        10000);
    if (!settled)
        qWarning("the screen did not settle for %s", qPrintable(name));
    if (ImageCheck::save(screen.copy(m_window), name).isEmpty())
        qWarning("could not save %s", qPrintable(name));
    return screen;
}

void TestE2ePlug::initTestCase()
{
    QVERIFY2(MeterBench::inMockEnvironment(), "run under umockdev-wrapper");
    QVERIFY2(m_program.start(), qPrintable(m_program.errorString()));
    // The window is up when a good part of the screen has its background.
    QTRY_VERIFY_WITH_TIMEOUT(windowRect(grabScreen()).width() > 600, 20000);
    m_window = windowRect(grabScreen());
    m_offlineScreen = screenshot("e2e_plug_before");
    m_offlineBluePixels = connectedPixels(m_offlineScreen);
}

// A failed row leaves a picture of how far it got, and the meter out for the next row.
void TestE2ePlug::cleanup()
{
    if (QTest::currentTestFailed())
        screenshot(QStringLiteral("e2e_plug_failed_") + QTest::currentDataTag());
    m_meter->unplug();
}

void TestE2ePlug::plugAndUnplug_data()
{
    QTest::addColumn<int>("calibration");
    QTest::addColumn<double>("volts");
    QTest::addColumn<double>("amperes");

    // The same meter each time, on a fresh ttyACM node, reading something else.
    QTest::newRow("first plug") << 4321 << 5.12 << 0.256;
    QTest::newRow("plugged again") << 65535 << 12.0 << 4.2;
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
    QVERIFY2(pollInterval >= 70 && pollInterval <= 150, qPrintable(QString::number(pollInterval)));

    QTRY_COMPARE(m_program->logLinesContaining("校准参数").size(), calibrationLinesBefore + 1);
    const QString calibrationLine = m_program->logLinesContaining("校准参数").constLast();
    QVERIFY2(calibrationLine.contains(QString::number(calibration)), qPrintable(calibrationLine));

    QTRY_VERIFY_WITH_TIMEOUT(connectedPixels(grabScreen()) > m_offlineBluePixels + 20, 5000);
    QVERIFY(page(screenshot("e2e_plug_" + row + "_online")) != page(m_offlineScreen));

    QElapsedTimer sinceUnplug;
    sinceUnplug.start();
    m_meter->unplug();
    QTRY_VERIFY_WITH_TIMEOUT(!line.isLineOpen() && line.lineCloseCount() > 0, 10000);
    const qint64 closedAfter = sinceUnplug.elapsed();
    QVERIFY2(closedAfter < 500, qPrintable(QString::number(closedAfter)));
    QTRY_COMPARE_WITH_TIMEOUT(connectedPixels(grabScreen()), m_offlineBluePixels, 5000);
    screenshot("e2e_plug_" + row + "_unplugged");
}

int main(int argc, char *argv[])
{
    // The emulated USB bus has to exist before the application object.
    MeterBench bench(firstTtyNumberOfThisProcess());
    QGuiApplication app(argc, argv);
    TestE2ePlug test(bench);
    return QTest::qExec(&test, argc, argv);
}

#include "tst_e2e_plug.moc"
