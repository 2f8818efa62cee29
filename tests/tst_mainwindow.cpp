// SPDX-License-Identifier: GPL-3.0-or-later
#include "childwidget.h"
#include "commoncurrentusbdevice.h"
#include "graphicsviewitemwidget.h"
#include "imagecheck.h"
#include "mainwindow.h"
#include "measurementfeed.h"
#include "metersimulator.h"
#include "needlegraphicsellipseitem.h"
#include "quihelper.h"
#include "temporaryappdir.h"
#include "usbtestbed.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QPropertyAnimation>
#include <QPushButton>
#include <QSerialPort>
#include <QStackedWidget>
#include <QtTest>

#include <memory>

namespace {

const QColor ConnectedBlue(55, 167, 255);
const QColor SilentOrange(255, 152, 0);
const QColor OfflineGray(128, 128, 128);
const QColor SkinBackground(0x0E, 0x14, 0x1B);
const QStringList Views {"actionCurve", "actionNeedle", "actionCurveNeedle"};
const QStringList Zeros {
    "0.000 V", "0.000 A", "0.00 W", "0.000", "0.000", "0.00", "0.000", "0.000", "0", "0", "0"};

AbstractNeedleGraphicsItem *needleOf(QWidget *page)
{
    return static_cast<AbstractNeedleGraphicsItem *>(
        page->findChild<GraphicsViewItemWidget *>()->item());
}

} // namespace

// The main window in this process, on an emulated USB bus with a simulated meter
// plugged in and pulled out; the cases run in order on one window.
class TestMainWindow : public QObject
{
    Q_OBJECT

public:
    explicit TestMainWindow(UsbTestbed *testbed)
        : m_testbed(testbed)
    { }

private slots:
    void initTestCase()
    {
        QVERIFY2(UsbTestbed::inMockEnvironment(), "run under umockdev-wrapper");
        QFile::remove(QCoreApplication::applicationDirPath() + "/Settings.ini");
        m_window = std::make_unique<MainWindow>();
        QUIHelper::applySkin(15);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    }
    void startsOnTheNeedlePageWithZeros()
    {
        QCOMPARE(child<QStackedWidget>(m_window.get(), "stackedWidget")->currentIndex(), 1);
        QVERIFY(child<QAction>(m_window.get(), "actionNeedle")->isChecked());
        // The dials take a reading only once drawn, which may be after the zeros came.
        QTRY_COMPARE_WITH_TIMEOUT(readings().mid(0, 6), Zeros.mid(0, 6), 5000);
        QCOMPARE(child<QLabel>(m_window.get(), "lblDeviceState")->text(), "设备未连接");
    }
    // One picture per page, the way a user sees it with a steady reading: every page
    // shows its three colours, the title bar the skin.
    void meterFeedsEveryPage()
    {
        m_meter.setProfile(LoadProfile::constant(5.12, 0.256, 1.31));
        // QSerialPort locks a port by name in the machine's lock directory, which the
        // emulated buses of tests running side by side share: a name of our own.
        m_port = m_testbed->addUsbSerial(0x303a, 0x1001, "H6METER",
            QStringLiteral("ttyACM%1").arg(QCoreApplication::applicationPid()));
        QVERIFY(m_port.isValid());
        QVERIFY(m_meter.start(m_port.hostFd));
        // The first announcement came before the tty existed; udev's own comes once it does.
        m_testbed->add(m_port);
        QTRY_VERIFY_WITH_TIMEOUT(showsConnected("设备已连接"), 15000);
        auto *stack = child<QStackedWidget>(m_window.get(), "stackedWidget");
        for (int page = 0; page < Views.size(); ++page) {
            child<QAction>(m_window.get(), Views.at(page))->trigger();
            QCOMPARE(stack->currentIndex(), page);
            QWidget *shown = stack->currentWidget();
            if (auto *view = shown->findChild<GraphicsViewItemWidget *>()) {
                auto *needle = static_cast<AbstractNeedleGraphicsItem *>(view->item());
                // The needle swings for 300 ms after each reading and then rests on it.
                QTRY_VERIFY_WITH_TIMEOUT(
                    qAbs(needle->needleAngle() - needle->angleForValue(0.256)) < 0.05, 1000);
            }
            const QImage image = ImageCheck::grab(m_window.get());
            QVERIFY(!ImageCheck::save(image, "mainwindow-" + Views.at(page)).isEmpty());
            QVERIFY(
                ImageCheck::countColorIn(image, QRect(0, 0, image.width(), 40), SkinBackground, 6)
                > image.width() * 10);
            const QRect area(shown->mapTo(m_window.get(), QPoint()), shown->size());
            for (const QColor &colour :
                {QColor(43, 234, 175), QColor(249, 121, 136), QColor(0, 162, 255)})
                QVERIFY2(ImageCheck::countColorIn(image, area, colour, 20) > 500,
                    qPrintable(Views.at(page) + colour.name()));
        }
        // A dial aims its needle only once it has been drawn, which every page now has been.
        QTRY_COMPARE_WITH_TIMEOUT(readings(),
            QStringList({"5.120 V", "0.256 A", "1.31 W", "5.120", "0.256", "1.31", "5.120", "1.310",
                "256", "0.256", "0.256"}),
            5000);
    }
    // A meter that stops answering: the label says so in orange and the pages dim, until
    // its next measurement.
    void silentMeterIsMarkedStale()
    {
        MeterSimulator::Faults silent;
        silent.silent = true;
        m_meter.setFaults(silent);
        QTRY_VERIFY_WITH_TIMEOUT(showsState("设备无响应", SilentOrange), 5000);
        const QImage stale = ImageCheck::grab(m_window.get());
        QVERIFY(!ImageCheck::save(stale, "mainwindow-silent").isEmpty());
        QCOMPARE(voltageColourIn(stale), 0);
        // The live curve breaks there, instead of a straight line through the silence.
        const MeasurementHistory &history = m_window->findChild<MeasurementFeed *>()->history();
        bool broken = false;
        history.visit(history.lastSeconds(), history.lastSeconds(),
            [&broken](const MeasurementHistory::Sample &sample) { broken = sample.isGap(); });
        QVERIFY(broken);
        m_meter.clearFaults();
        QTRY_VERIFY_WITH_TIMEOUT(showsConnected("设备已连接"), 5000);
        QTRY_VERIFY(voltageColourIn(ImageCheck::grab(m_window.get())) > 500);
    }
    void unplugShowsZeros()
    {
        m_testbed->unplug(m_port);
        QTRY_COMPARE_WITH_TIMEOUT(
            child<QLabel>(m_window.get(), "lblDeviceState")->text(), "设备未连接", 10000);
        QVERIFY(!showsConnected("设备未连接"));
        QTRY_COMPARE(readings(), Zeros);
    }
    // A port another program holds: the label says which and why, the tooltip how to fix
    // it, and the meter's next plug event tries it again.
    void refusedPortSaysWhy()
    {
        UsbTestbed::SerialDevice port = plugMeter("H6BUSY", 1);
        QVERIFY(port.isValid());
        QSerialPort holder(port.portName);
        QVERIFY(holder.open(QIODevice::ReadWrite));
        auto *state = child<QLabel>(m_window.get(), "lblDeviceState");
        const QString why = "/dev/" + port.portName + " 被其他程序占用";
        QTRY_COMPARE_WITH_TIMEOUT(state->text(), "设备未连接  " + why, 10000);
        QVERIFY2(state->toolTip().startsWith(why + "\n关闭占用该端口的程序"),
            qPrintable(state->toolTip()));
        holder.close();
        m_testbed->add(port);
        QTRY_VERIFY_WITH_TIMEOUT(showsConnected("设备已连接"), 15000);
        m_testbed->unplug(port);
        QTRY_VERIFY_WITH_TIMEOUT(showsState("设备未连接", OfflineGray), 10000);
    }
    // In every state the label reads right in both languages, in the state's colour.
    void stateLabelAcrossLanguages_data()
    {
        QTest::addColumn<int>("state");
        QTest::addColumn<QString>("chinese");
        QTest::addColumn<QString>("english");
        QTest::addColumn<QColor>("colour");
        QTest::newRow("offline") << 0 << "设备未连接"
                                 << "Device Not Connected" << OfflineGray;
        QTest::newRow("online") << 1 << "设备已连接"
                                << "Device Connected" << ConnectedBlue;
        QTest::newRow("not responding") << 2 << "设备无响应"
                                        << "Meter Not Responding" << SilentOrange;
        QTest::newRow("refused") << 3 << "设备未连接  无权限访问 /dev/ttyACM9"
                                 << "Device Not Connected  No permission for /dev/ttyACM9"
                                 << OfflineGray;
    }
    void stateLabelAcrossLanguages()
    {
        QFETCH(int, state);
        QFETCH(QString, chinese);
        QFETCH(QString, english);
        QFETCH(QColor, colour);
        auto *device = m_window->findChild<CommonCurrentUSBDevice *>();
        emit device->deviceOffline();
        if (state == 1 || state == 2)
            emit device->deviceOnline();
        if (state == 2)
            emit device->deviceNotResponding();
        if (state == 3)
            emit device->openFailed("/dev/ttyACM9", USBSerialDevice::PermissionDenied);
        for (const QString &language : {"en", "zh", "en"}) {
            m_window->switchLanguage(language);
            QTRY_VERIFY2(showsState(language == "en" ? english : chinese, colour),
                qPrintable(
                    language + ": " + child<QLabel>(m_window.get(), "lblDeviceState")->text()));
        }
        m_window->switchLanguage("zh");
        emit device->deviceOffline();
    }
    // The close button lets go of everything within a second: the port and its lock file,
    // the settings written; the program ends with its last window.
    void closeButtonEndsCleanly()
    {
        UsbTestbed::SerialDevice port = plugMeter("H6CLOSE", 2);
        QVERIFY(port.isValid());
        QTRY_VERIFY_WITH_TIMEOUT(showsConnected("设备已连接"), 15000);
        const QString lock = "/var/lock/LCK.." + port.portName;
        QVERIFY(QFile::exists(lock));
        m_window->switchLanguage("en");
        QTest::mouseClick(child<QPushButton>(m_window.get(), "btnMenu_Close"), Qt::LeftButton);
        // The last window closed ends the event loop of a running program.
        QVERIFY(!m_window->isVisible() && m_window->testAttribute(Qt::WA_QuitOnClose));
        QElapsedTimer teardown;
        teardown.start();
        m_window.reset();
        QVERIFY2(teardown.elapsed() < 1000, qPrintable(QString::number(teardown.elapsed())));
        QVERIFY(!QFile::exists(lock));
        QTRY_VERIFY(!m_meter.isLineOpen());
        QFile settings(QCoreApplication::applicationDirPath() + "/Settings.ini");
        QVERIFY(settings.open(QIODevice::ReadOnly));
        QVERIFY(settings.readAll().contains("languagesIndex=en"));
        m_testbed->unplug(port);
    }
    void cleanupTestCase()
    {
        m_window.reset();
        m_meter.stop();
    }

private:
    // What every page shows: the curve page's tiles, the combined page's cells,
    // the needle page's read-outs, and the value on both dials.
    QStringList readings() const
    {
        QStringList texts;
        for (const char *page : {"currentLineWidget", "widget_2"})
            for (const char *label : {"lblVoltage", "lblCurrent", "lblPower"})
                texts << child<QLabel>(child(m_window.get(), page), label)->text();
        auto *needle
            = static_cast<NeedleGraphicsEllipseItem *>(needleOf(child(m_window.get(), "widget")));
        texts << needle->voltageText() << needle->powerText() << needle->currentText()
              << QString::number(needle->value(), 'g', 4)
              << QString::number(needleOf(child(m_window.get(), "widget_2"))->value(), 'g', 4);
        return texts;
    }
    // A fresh tty of this process's own, served by the one simulator.
    UsbTestbed::SerialDevice plugMeter(const char *serial, int number)
    {
        m_meter.stop();
        UsbTestbed::SerialDevice port = m_testbed->addUsbSerial(0x303a, 0x1001, serial,
            QStringLiteral("ttyACM%1%2").arg(QCoreApplication::applicationPid()).arg(number));
        if (port.isValid())
            m_meter.start(port.hostFd);
        return port;
    }
    // The pages' voltage in its own colour: none while it is shown as stale.
    int voltageColourIn(const QImage &image) const
    {
        QWidget *stack = child(m_window.get(), "stackedWidget");
        const QRect area(stack->mapTo(m_window.get(), QPoint()), stack->size());
        return ImageCheck::countColorIn(image, area, QColor(43, 234, 175), 20);
    }
    bool showsState(const QString &text, const QColor &colour) const
    {
        auto *state = child<QLabel>(m_window.get(), "lblDeviceState");
        return state->text() == text
            && ImageCheck::countColor(ImageCheck::grab(state), colour, 30) > 0;
    }
    bool showsConnected(const QString &text) const
    {
        auto *state = child<QLabel>(m_window.get(), "lblDeviceState");
        return state->text() == text
            && ImageCheck::countColor(ImageCheck::grab(state), ConnectedBlue, 30) > 0;
    }

    UsbTestbed *m_testbed;
    std::unique_ptr<MainWindow> m_window;
    UsbTestbed::SerialDevice m_port;
    MeterSimulator m_meter;
};

int main(int argc, char *argv[])
{
    if (!isInTemporaryAppDir())
        return runInTemporaryAppDir(argc, argv);
    // The emulated /sys and /dev must exist before anything looks for ports.
    UsbTestbed testbed;
    QApplication app(argc, argv);
    TestMainWindow test(&testbed);
    return QTest::qExec(&test, argc, argv);
}

#include "tst_mainwindow.moc"
