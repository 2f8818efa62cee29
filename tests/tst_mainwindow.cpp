#include "abstractneedlegraphicsitem.h"
#include "imagecheck.h"
#include "mainwindow.h"
#include "metersimulator.h"
#include "temporaryappdir.h"
#include "usbtestbed.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QGraphicsView>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QtTest>

namespace {

const QString EnglishTitle = QStringLiteral("  Ampere meter upper computer management software");

template<typename T>
T *child(QObject *parent, const char *name)
{
    auto *found = parent->findChild<T *>(QString::fromLatin1(name));
    if (!found)
        qFatal("no %s", name);
    return found;
}

AbstractNeedleGraphicsItem *needleOf(QWidget *page)
{
    for (QGraphicsItem *item : page->findChild<QGraphicsView *>()->scene()->items())
        if (auto *needle = dynamic_cast<AbstractNeedleGraphicsItem *>(item))
            return needle;
    qFatal("no needle item on %s", qPrintable(page->objectName()));
    return nullptr;
}

// The texts of every page that shows numbers, read in one go.
struct PageReadings
{
    explicit PageReadings(QWidget *window)
        : curve(child<QWidget>(window, "currentLineWidget"))
        , needle(child<QWidget>(window, "widget"))
        , combined(child<QWidget>(window, "widget_2"))
    { }

    QStringList curveTiles() const { return texts(curve); }
    QStringList combinedGrid() const { return texts(combined); }
    double needleCurrent() const { return needleOf(needle)->value(); }

    QWidget *curve;
    QWidget *needle;
    QWidget *combined;

private:
    static QStringList texts(QWidget *page)
    {
        return {child<QLabel>(page, "lblVoltage")->text(),
            child<QLabel>(page, "lblCurrent")->text(), child<QLabel>(page, "lblPower")->text()};
    }
};

// QSerialPort locks a port by name in the machine's lock directory, which the
// emulated buses of tests running side by side share: a name of our own.
QString ownTtyName()
{
    return QStringLiteral("ttyACM%1").arg(QCoreApplication::applicationPid());
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

public:
    explicit TestMainWindow(UsbTestbed *testbed)
        : m_testbed(testbed)
    { }

private slots:
    void init();
    void viewActions_data();
    void viewActions();
    void zerosWithoutMeter();
    void languageMenu_data();
    void languageMenu();
    void inertControls_data();
    void inertControls();
    void connectedMeter();

private:
    QString settingsFile() const;
    QString storedLanguage() const;

    UsbTestbed *m_testbed;
};

void TestMainWindow::init()
{
    QFile::remove(settingsFile());
}

QString TestMainWindow::settingsFile() const
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/Settings.ini");
}

QString TestMainWindow::storedLanguage() const
{
    return QSettings(settingsFile(), QSettings::IniFormat)
        .value(QStringLiteral("languagesIndex"))
        .toString();
}

void TestMainWindow::viewActions_data()
{
    QTest::addColumn<QStringList>("clicks");
    QTest::addColumn<int>("page");

    QTest::newRow("at start") << QStringList() << 1;
    QTest::newRow("curve") << QStringList {"actionCurve"} << 0;
    QTest::newRow("curve and needle") << QStringList {"actionCurveNeedle"} << 2;
    QTest::newRow("needle again") << QStringList {"actionCurveNeedle", "actionNeedle"} << 1;
    QTest::newRow("same view twice") << QStringList {"actionCurve", "actionCurve"} << 0;
    QTest::newRow("all in turn") << QStringList {"actionCurve", "actionNeedle", "actionCurveNeedle"}
                                 << 2;
}

void TestMainWindow::viewActions()
{
    QFETCH(QStringList, clicks);
    QFETCH(int, page);

    MainWindow window;
    for (const QString &name : clicks)
        child<QAction>(&window, qPrintable(name))->trigger();

    QCOMPARE(child<QStackedWidget>(&window, "stackedWidget")->currentIndex(), page);
    const QStringList views {"actionCurve", "actionNeedle", "actionCurveNeedle"};
    for (int i = 0; i < views.size(); ++i)
        QCOMPARE(child<QAction>(&window, qPrintable(views.at(i)))->isChecked(), i == page);
}

void TestMainWindow::zerosWithoutMeter()
{
    MainWindow window;
    window.show();
    PageReadings pages(&window);
    QCOMPARE(pages.curveTiles(), QStringList({"TextLabel", "TextLabel", "TextLabel"}));

    QTRY_COMPARE_WITH_TIMEOUT(
        pages.curveTiles(), QStringList({"0.000 V", "0.000 A", "0.00 W"}), 5000);
    QTRY_COMPARE(pages.combinedGrid(), QStringList({"0.000", "0.000", "0.00"}));
    QCOMPARE(pages.needleCurrent(), 0.0);
    QCOMPARE(child<QLabel>(&window, "lblDeviceState")->text(), QStringLiteral("设备未连接"));
    QCOMPARE(
        child<QLabel>(&window, "lblDeviceState")->styleSheet(), QStringLiteral("color: gray;"));
}

void TestMainWindow::languageMenu_data()
{
    QTest::addColumn<QStringList>("choices");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("titleLabel");
    QTest::addColumn<QString>("recordButton");

    QTest::newRow("english") << QStringList {"actionEnglish"} << "en" << EnglishTitle
                             << "Start Recording";
    // A switch to Chinese gives the title label a single leading blank.
    QTest::newRow("back to chinese") << QStringList {"actionEnglish", "actionChinese"} << "zh"
                                     << " 电流表上位机管理软件"
                                     << "开始录制";
}

void TestMainWindow::languageMenu()
{
    QFETCH(QStringList, choices);
    QFETCH(QString, stored);
    QFETCH(QString, titleLabel);
    QFETCH(QString, recordButton);

    MainWindow window;
    for (const QString &name : choices)
        child<QAction>(&window, qPrintable(name))->trigger();
    // The switch posts its language change; deliver it as the event loop would.
    QCoreApplication::sendPostedEvents(&window, QEvent::LanguageChange);

    QCOMPARE(child<QPushButton>(&window, "btnRecord")->text(), recordButton);
    QCOMPARE(child<QLabel>(&window, "labTitle")->text(), titleLabel);
    QCOMPARE(child<QAction>(&window, "actionEnglish")->text(), QStringLiteral("English"));
    QCOMPARE(child<QAction>(&window, "actionChinese")->text(), QStringLiteral("中文"));
    QTRY_COMPARE(storedLanguage(), stored);
}

void TestMainWindow::inertControls_data()
{
    QTest::addColumn<QString>("control");
    for (const char *name :
        {"btnRecord", "btnSave", "btnPlayback", "btnCompare", "btnSettings", "chkColor"})
        QTest::newRow(name) << QString::fromLatin1(name);
}

void TestMainWindow::inertControls()
{
    QFETCH(QString, control);

    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto *button = child<QAbstractButton>(&window, qPrintable(control));
    const QWidgetList windowsBefore = QApplication::topLevelWidgets();

    QTest::mouseClick(button, Qt::LeftButton);
    QCoreApplication::processEvents();

    QCOMPARE(QApplication::topLevelWidgets(), windowsBefore);
    QVERIFY(window.isVisible());
    QCOMPARE(child<QStackedWidget>(&window, "stackedWidget")->currentIndex(), 1);
    QCOMPARE(child<QLabel>(&window, "lblDeviceState")->text(), QStringLiteral("设备未连接"));
    QCOMPARE(child<QPushButton>(&window, "btnRecord")->text(), QStringLiteral("开始录制"));
}

void TestMainWindow::connectedMeter()
{
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    PageReadings pages(&window);
    auto *state = child<QLabel>(&window, "lblDeviceState");
    const QColor connectedBlue(55, 167, 255);

    MeterSimulator meter;
    meter.setProfile(LoadProfile::constant(5.12, 0.256, 1.31));
    const UsbTestbed::SerialDevice port
        = m_testbed->addUsbSerial(0x303a, 0x1001, QStringLiteral("H6METER"), ownTtyName());
    QVERIFY(port.isValid());
    QVERIFY(meter.start(port.hostFd));
    // The first announcement came before the tty existed; udev's own comes once it does.
    m_testbed->add(port);

    QTRY_COMPARE_WITH_TIMEOUT(state->text(), QStringLiteral("设备已连接"), 15000);
    QCOMPARE(state->styleSheet(), QStringLiteral("color: rgb(55, 167, 255);"));
    QTRY_COMPARE_WITH_TIMEOUT(
        pages.curveTiles(), QStringList({"5.120 V", "0.256 A", "1.31 W"}), 5000);
    QTRY_COMPARE(pages.combinedGrid(), QStringList({"5.120", "0.256", "1.31"}));
    QTRY_VERIFY(qAbs(pages.needleCurrent() - 0.256) < 1e-6);
    QVERIFY(ImageCheck::countColor(ImageCheck::grab(state), connectedBlue, 30) > 0);

    child<QAction>(&window, "actionEnglish")->trigger();
    QTRY_COMPARE(state->text(), QStringLiteral("Device Connected"));
    QCOMPARE(state->styleSheet(), QStringLiteral("color: rgb(55, 167, 255);"));
    QVERIFY(ImageCheck::countColor(ImageCheck::grab(state), connectedBlue, 30) > 0);
    child<QAction>(&window, "actionChinese")->trigger();
    QTRY_COMPARE(state->text(), QStringLiteral("设备已连接"));

    m_testbed->unplug(port);
    QTRY_COMPARE_WITH_TIMEOUT(state->text(), QStringLiteral("设备未连接"), 10000);
    QCOMPARE(state->styleSheet(), QStringLiteral("color: gray;"));
    QVERIFY(ImageCheck::countColor(ImageCheck::grab(state), connectedBlue, 30) == 0);
    QTRY_COMPARE(pages.curveTiles(), QStringList({"0.000 V", "0.000 A", "0.00 W"}));
    QTRY_COMPARE(pages.combinedGrid(), QStringList({"0.000", "0.000", "0.00"}));
    QTRY_COMPARE(pages.needleCurrent(), 0.0);
}

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
