// SPDX-License-Identifier: GPL-3.0-or-later
#include "imagecheck.h"
#include "meterbench.h"
#include "programundertest.h"
#include "simulatedmeter.h"

#include <QtTest>

// The Qt 6 program on a Wayland desktop: a headless Weston, whose screenshooter
// shows what a user would see. It has no input devices, so no drag can be tried.
class TestWayland : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void windowShowsItsPageAndAnswersAMeter();
    void cleanupTestCase();

private:
    int pixelsOf(const QColor &color, const QString &savedAs);

    // Made before the application object, as the emulated USB bus has to be.
    MeterBench m_bench {firstTtyNumberOfThisProcess()};
    QTemporaryDir m_runtimeDir;
    QProcess m_weston;
    ProgramUnderTest m_program;
};

// The screenshooter writes into the current directory, the compositor's runtime one.
int TestWayland::pixelsOf(const QColor &color, const QString &savedAs)
{
    QProcess::execute(QStringLiteral("weston-screenshooter"), {});
    const QImage screen(
        QDir().entryList({QStringLiteral("*.png")}, QDir::Files, QDir::Time).value(0));
    ImageCheck::save(screen, savedAs);
    return ImageCheck::countColor(screen, color, 20);
}

void TestWayland::initTestCase()
{
    // Weston and Qt's Wayland plugin are optional packages (scripts/setup).
    if (QStandardPaths::findExecutable(QStringLiteral("weston")).isEmpty())
        QSKIP("weston is not installed: the Wayland test does not run");
    const QDir platforms(QLibraryInfo::path(QLibraryInfo::PluginsPath) + "/platforms");
    if (platforms.entryList({QStringLiteral("libqwayland*")}).isEmpty())
        QSKIP("Qt's Wayland plugin (qt6-wayland) is not installed: the Wayland test does not run");
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_runtimeDir.path()));
    QDir::setCurrent(m_runtimeDir.path());
    // Without pixman the headless backend draws nothing; --debug lets the screenshooter in.
    m_weston.start(QStringLiteral("weston"),
        QStringLiteral("--backend=headless-backend.so --use-pixman --debug --socket=ammeter "
                       "--width=1920 --height=1080")
            .split(' '));
    QVERIFY2(m_weston.waitForStarted(), "cannot start weston: scripts/setup installs it");
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(QStringLiteral("ammeter")), 20000);
    qputenv("WAYLAND_DISPLAY", "ammeter");
    qputenv("QT_QPA_PLATFORM", "wayland");
    QVERIFY2(m_program.start(), qPrintable(m_program.errorString()));
}

void TestWayland::windowShowsItsPageAndAnswersAMeter()
{
    // The page's voltage tile, then the title bar's connected label. A screenshot takes
    // long enough to upset QTRY's count of time, so the waits are against the clock.
    QVERIFY(QTest::qWaitFor(
        [&] { return pixelsOf(QColor(43, 234, 175), "wayland_start") > 2000; }, 30000));
    const QColor connectedBlue(55, 167, 255);
    const int offline = pixelsOf(connectedBlue, "wayland_start");
    SimulatedMeter *meter = m_bench.addMeter(QStringLiteral("WAYLAND-01"));
    QVERIFY2(meter->plug(), qPrintable(meter->errorString()));
    QVERIFY(QTest::qWaitFor(
        [&] { return pixelsOf(connectedBlue, "wayland_plugged") > offline + 20; }, 10000));
}

void TestWayland::cleanupTestCase()
{
    m_program->stop();
    m_weston.terminate();
    m_weston.waitForFinished();
}

int main(int argc, char *argv[])
{
    TestWayland test;
    QCoreApplication app(argc, argv);
    return QTest::qExec(&test, argc, argv);
}

#include "tst_wayland.moc"
