#include "abstractneedlegraphicsitem.h"
#include "imagecheck.h"
#include "mainwindow.h"
#include "metersimulator.h"
#include "temporaryappdir.h"
#include "usbtestbed.h"

#include <QAction>
#include <QApplication>
#include <QGraphicsView>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QtTest>

namespace {

const QColor ConnectedBlue(55, 167, 255);
const QStringList Views {"actionCurve", "actionNeedle", "actionCurveNeedle"};

template<typename T>
T *child(QObject *parent, const QString &name)
{
    auto *found = parent->findChild<T *>(name);
    if (!found)
        qFatal("no %s", qPrintable(name));
    return found;
}

// What every page shows: the curve page's tiles, the combined page's grid and
// the needle page's current.
QStringList readings(QWidget *window)
{
    QStringList texts;
    for (const char *page : {"currentLineWidget", "widget_2"})
        for (const char *label : {"lblVoltage", "lblCurrent", "lblPower"})
            texts << child<QLabel>(child<QWidget>(window, page), label)->text();
    for (QGraphicsItem *item :
        child<QWidget>(window, "widget")->findChild<QGraphicsView *>()->scene()->items())
        if (auto *needle = dynamic_cast<AbstractNeedleGraphicsItem *>(item))
            texts << QString::number(needle->value());
    return texts;
}

const QStringList Zeros {"0.000 V", "0.000 A", "0.00 W", "0.000", "0.000", "0.00", "0"};

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
    void viewActionsAndZeros();
    void inertControls_data();
    void inertControls();
    void connectedMeter();

private:
    UsbTestbed *m_testbed;
};

void TestMainWindow::init()
{
    QFile::remove(QCoreApplication::applicationDirPath() + QStringLiteral("/Settings.ini"));
}

void TestMainWindow::viewActionsAndZeros()
{
    MainWindow window;
    window.show();
    auto *stack = child<QStackedWidget>(&window, "stackedWidget");
    const auto checkedViews = [&] {
        QVector<bool> checked;
        for (const QString &view : Views)
            checked << child<QAction>(&window, view)->isChecked();
        return checked;
    };
    QCOMPARE(readings(&window).mid(0, 3), QStringList({"TextLabel", "TextLabel", "TextLabel"}));
    QCOMPARE(stack->currentIndex(), 1);
    QCOMPARE(checkedViews(), QVector<bool>({false, true, false}));

    QTRY_COMPARE_WITH_TIMEOUT(readings(&window), Zeros, 5000);
    auto *state = child<QLabel>(&window, "lblDeviceState");
    QCOMPARE(state->text(), QStringLiteral("设备未连接"));
    QCOMPARE(state->styleSheet(), QStringLiteral("color: gray;"));

    for (int page : {0, 0, 2, 1, 2}) {
        child<QAction>(&window, Views.at(page))->trigger();
        QCOMPARE(stack->currentIndex(), page);
        QVector<bool> expected(Views.size(), false);
        expected[page] = true;
        QCOMPARE(checkedViews(), expected);
    }
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
    const QWidgetList windowsBefore = QApplication::topLevelWidgets();
    QTest::mouseClick(child<QAbstractButton>(&window, control), Qt::LeftButton);
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
    auto *state = child<QLabel>(&window, "lblDeviceState");
    const auto showsConnected = [&](const QString &text) {
        return state->text() == text
            && state->styleSheet() == QStringLiteral("color: rgb(55, 167, 255);")
            && ImageCheck::countColor(ImageCheck::grab(state), ConnectedBlue, 30) > 0;
    };

    MeterSimulator meter;
    meter.setProfile(LoadProfile::constant(5.12, 0.256, 1.31));
    // QSerialPort locks a port by name in the machine's lock directory, which the
    // emulated buses of tests running side by side share: a name of our own.
    const UsbTestbed::SerialDevice port
        = m_testbed->addUsbSerial(0x303a, 0x1001, QStringLiteral("H6METER"),
            QStringLiteral("ttyACM%1").arg(QCoreApplication::applicationPid()));
    QVERIFY(port.isValid());
    QVERIFY(meter.start(port.hostFd));
    // The first announcement came before the tty existed; udev's own comes once it does.
    m_testbed->add(port);

    QTRY_VERIFY_WITH_TIMEOUT(showsConnected(QStringLiteral("设备已连接")), 15000);
    QTRY_COMPARE_WITH_TIMEOUT(readings(&window),
        QStringList({"5.120 V", "0.256 A", "1.31 W", "5.120", "0.256", "1.31", "0.256"}), 5000);

    const auto stored = [] {
        return QSettings(QCoreApplication::applicationDirPath() + QStringLiteral("/Settings.ini"),
            QSettings::IniFormat)
            .value(QStringLiteral("languagesIndex"))
            .toString();
    };
    child<QAction>(&window, "actionEnglish")->trigger();
    QTRY_VERIFY(showsConnected(QStringLiteral("Device Connected")));
    QCOMPARE(child<QLabel>(&window, "labTitle")->text(),
        QStringLiteral("  Ampere meter upper computer management software"));
    QCOMPARE(child<QPushButton>(&window, "btnRecord")->text(), QStringLiteral("Start Recording"));
    QCOMPARE(child<QAction>(&window, "actionChinese")->text(), QStringLiteral("中文"));
    QTRY_COMPARE(stored(), QStringLiteral("en"));

    child<QAction>(&window, "actionChinese")->trigger();
    QTRY_VERIFY(showsConnected(QStringLiteral("设备已连接")));
    // A switch to Chinese gives the title label a single leading blank.
    QCOMPARE(child<QLabel>(&window, "labTitle")->text(), QStringLiteral(" 电流表上位机管理软件"));
    QCOMPARE(child<QAction>(&window, "actionEnglish")->text(), QStringLiteral("English"));
    QTRY_COMPARE(stored(), QStringLiteral("zh"));

    m_testbed->unplug(port);
    QTRY_COMPARE_WITH_TIMEOUT(state->text(), QStringLiteral("设备未连接"), 10000);
    QCOMPARE(state->styleSheet(), QStringLiteral("color: gray;"));
    QCOMPARE(ImageCheck::countColor(ImageCheck::grab(state), ConnectedBlue, 30), 0);
    QTRY_COMPARE(readings(&window), Zeros);
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
