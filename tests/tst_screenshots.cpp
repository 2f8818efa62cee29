#include "abstractneedlegraphicsitem.h"
#include "imagecheck.h"
#include "mainwindow.h"
#include "metersimulator.h"
#include "quihelper.h"
#include "temporaryappdir.h"
#include "usbtestbed.h"

#include <QAction>
#include <QApplication>
#include <QGraphicsView>
#include <QLabel>
#include <QStackedWidget>
#include <QtTest>

#include <memory>

namespace {

const QColor VoltageGreen(43, 234, 175);
const QColor CurrentPink(249, 121, 136);
const QColor PowerBlue(0, 162, 255);
const QColor ConnectedBlue(55, 167, 255);
const QColor SkinBackground(0x0E, 0x14, 0x1B);

const double SteadyVolts = 5.02;
const double SteadyAmperes = 0.156;
const double SteadyWatts = 0.783;

// Whether the dial shows the current with its needle standing still on it.
bool needleAtRest(QGraphicsView *view, double amperes)
{
    for (QGraphicsItem *item : view->scene()->items()) {
        auto *needle = dynamic_cast<AbstractNeedleGraphicsItem *>(item);
        if (needle && qAbs(needle->value() - amperes) < 1e-6)
            return qAbs(needle->needleAngle() - needle->angleForValue(needle->value())) < 1e-6;
    }
    return false;
}

QRect rectIn(QWidget *window, QWidget *widget)
{
    return QRect(widget->mapTo(window, QPoint(0, 0)), widget->size());
}

// QSerialPort locks a port by name in the machine's lock directory, which the
// emulated buses of tests running side by side share: a name of our own.
QString ownTtyName()
{
    return QStringLiteral("ttyACM%1").arg(QCoreApplication::applicationPid());
}

} // namespace

// The whole window on a real X server with a meter plugged in, one picture per
// page, the way a user sees it after start-up.
class TestScreenshots : public QObject
{
    Q_OBJECT

public:
    explicit TestScreenshots(UsbTestbed *testbed)
        : m_testbed(testbed)
    { }

private slots:
    void initTestCase();
    void pages_data();
    void pages();
    void cleanupTestCase();

private:
    UsbTestbed *m_testbed;
    std::unique_ptr<MainWindow> m_window;
    MeterSimulator m_meter;
    UsbTestbed::SerialDevice m_port;
};

void TestScreenshots::initTestCase()
{
    QFile::remove(QCoreApplication::applicationDirPath() + QStringLiteral("/Settings.ini"));
    m_window.reset(new MainWindow);
    m_window->setTitle(m_window->windowTitle());
    m_window->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    QUIHelper::applySkin(15);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));

    m_meter.setProfile(LoadProfile::bench());
    m_port = m_testbed->addUsbSerial(0x303a, 0x1001, QStringLiteral("H6SCREEN"), ownTtyName());
    QVERIFY(m_port.isValid());
    QVERIFY(m_meter.start(m_port.hostFd));
    // The first announcement came before the tty existed; udev's own comes once it does.
    m_testbed->add(m_port);

    auto *state = m_window->findChild<QLabel *>(QStringLiteral("lblDeviceState"));
    QTRY_COMPARE_WITH_TIMEOUT(state->text(), QStringLiteral("设备已连接"), 15000);

    // A few seconds of history for the curve: idle with a burst, a stretch near
    // 1.2 A, then the steady reading that the pictures are checked against.
    QTRY_VERIFY_WITH_TIMEOUT(m_meter.requestCount(MeterSimulator::MeasurementRequest) >= 30, 30000);
    m_meter.setProfile(LoadProfile::constant(4.976, 1.2, 5.971));
    QTRY_VERIFY_WITH_TIMEOUT(m_meter.requestCount(MeterSimulator::MeasurementRequest) >= 42, 30000);
    m_meter.setProfile(LoadProfile::constant(SteadyVolts, SteadyAmperes, SteadyWatts));
}

void TestScreenshots::pages_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("currentText");
    QTest::addColumn<QString>("stateText");

    const QString chinese = QStringLiteral("设备已连接");
    QTest::newRow("curve") << "actionCurve" << 0 << "0.156 A" << chinese;
    QTest::newRow("needle") << "actionNeedle" << 1 << QString() << chinese;
    QTest::newRow("curve-needle") << "actionCurveNeedle" << 2 << "0.156" << chinese;
    // The English texts are longer than the Chinese ones the title bar's
    // minimum widths were made for; this picture shows how it copes.
    QTest::newRow("curve-needle-english")
        << "actionCurveNeedle" << 2 << "0.156" << QStringLiteral("Device Connected");
}

void TestScreenshots::pages()
{
    QFETCH(QString, action);
    QFETCH(int, page);
    QFETCH(QString, currentText);
    QFETCH(QString, stateText);

    auto *state = m_window->findChild<QLabel *>(QStringLiteral("lblDeviceState"));
    if (state->text() != stateText)
        m_window->findChild<QAction *>(QStringLiteral("actionEnglish"))->trigger();
    QTRY_COMPARE(state->text(), stateText);

    m_window->findChild<QAction *>(action)->trigger();
    auto *stack = m_window->findChild<QStackedWidget *>(QStringLiteral("stackedWidget"));
    QCOMPARE(stack->currentIndex(), page);
    if (!currentText.isEmpty())
        QTRY_COMPARE(
            stack->currentWidget()->findChild<QLabel *>(QStringLiteral("lblCurrent"))->text(),
            currentText);
    if (auto *view = stack->currentWidget()->findChild<QGraphicsView *>())
        QTRY_VERIFY(needleAtRest(view, SteadyAmperes));

    const QImage image = ImageCheck::grab(m_window.get());
    QVERIFY(!ImageCheck::save(image, QStringLiteral("mainwindow-") + QTest::currentDataTag())
                 .isEmpty());
    // The form's size, widened only as far as the title bar's controls need.
    QCOMPARE(image.size(), QSize(qMax(1149, m_window->minimumSizeHint().width()), 652));

    QVERIFY(ImageCheck::countColorIn(image, rectIn(m_window.get(), state), ConnectedBlue, 30) > 0);
    const QRect titleBar(0, 0, image.width(), 40);
    QVERIFY(ImageCheck::countColorIn(image, titleBar, SkinBackground, 6) > image.width() * 10);

    const QRect pageArea = rectIn(m_window.get(), stack->currentWidget());
    for (const QColor &colour : {VoltageGreen, CurrentPink, PowerBlue})
        QVERIFY2(
            ImageCheck::countColorIn(image, pageArea, colour, 20) > 500, qPrintable(colour.name()));
}

void TestScreenshots::cleanupTestCase()
{
    if (m_port.isValid())
        m_testbed->unplug(m_port);
    m_window.reset();
}

int main(int argc, char *argv[])
{
    if (!isInTemporaryAppDir())
        return runInTemporaryAppDir(argc, argv);
    UsbTestbed testbed;
    QApplication app(argc, argv);
    TestScreenshots test(&testbed);
    return QTest::qExec(&test, argc, argv);
}

#include "tst_screenshots.moc"
