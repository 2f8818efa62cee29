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

namespace {

const QColor VoltageGreen(43, 234, 175);
const QColor CurrentPink(249, 121, 136);
const QColor PowerBlue(0, 162, 255);
const QColor ConnectedBlue(55, 167, 255);
const QColor SkinBackground(0x0E, 0x14, 0x1B);
const double SteadyAmperes = 0.156;

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
    void pages();

private:
    UsbTestbed *m_testbed;
};

void TestScreenshots::pages()
{
    QFile::remove(QCoreApplication::applicationDirPath() + QStringLiteral("/Settings.ini"));
    MainWindow window;
    window.setTitle(window.windowTitle());
    window.setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    QUIHelper::applySkin(15);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    MeterSimulator meter;
    meter.setProfile(LoadProfile::bench());
    // QSerialPort locks a port by name in the machine's lock directory, which the
    // emulated buses of tests running side by side share: a name of our own.
    const UsbTestbed::SerialDevice port
        = m_testbed->addUsbSerial(0x303a, 0x1001, QStringLiteral("H6SCREEN"),
            QStringLiteral("ttyACM%1").arg(QCoreApplication::applicationPid()));
    QVERIFY(port.isValid());
    QVERIFY(meter.start(port.hostFd));
    // The first announcement came before the tty existed; udev's own comes once it does.
    m_testbed->add(port);
    auto *state = window.findChild<QLabel *>(QStringLiteral("lblDeviceState"));
    QTRY_COMPARE_WITH_TIMEOUT(state->text(), QStringLiteral("设备已连接"), 15000);

    // A few seconds of history for the curve, then the steady reading that the
    // pictures are checked against.
    QTRY_VERIFY_WITH_TIMEOUT(meter.requestCount(MeterSimulator::MeasurementRequest) >= 30, 30000);
    meter.setProfile(LoadProfile::constant(5.02, SteadyAmperes, 0.783));

    auto *stack = window.findChild<QStackedWidget *>(QStringLiteral("stackedWidget"));
    const struct
    {
        const char *action;
        QString currentText;
    } pages[] = {{"actionCurve", "0.156 A"}, {"actionNeedle", {}}, {"actionCurveNeedle", "0.156"}};
    for (const auto &page : pages) {
        window.findChild<QAction *>(page.action)->trigger();
        QWidget *shown = stack->currentWidget();
        if (!page.currentText.isEmpty())
            QTRY_COMPARE(
                shown->findChild<QLabel *>(QStringLiteral("lblCurrent"))->text(), page.currentText);
        if (auto *view = shown->findChild<QGraphicsView *>())
            QTRY_VERIFY(needleAtRest(view, SteadyAmperes));

        const QImage image = ImageCheck::grab(&window);
        QVERIFY(!ImageCheck::save(image, QStringLiteral("mainwindow-") + page.action).isEmpty());
        // The form's size, widened only as far as the title bar's controls need.
        QCOMPARE(image.size(), QSize(qMax(1149, window.minimumSizeHint().width()), 652));
        QVERIFY(ImageCheck::countColorIn(image, rectIn(&window, state), ConnectedBlue, 30) > 0);
        const QRect titleBar(0, 0, image.width(), 40);
        QVERIFY(ImageCheck::countColorIn(image, titleBar, SkinBackground, 6) > image.width() * 10);
        for (const QColor &colour : {VoltageGreen, CurrentPink, PowerBlue})
            QVERIFY2(ImageCheck::countColorIn(image, rectIn(&window, shown), colour, 20) > 500,
                qPrintable(page.action + colour.name()));
    }
    m_testbed->unplug(port);
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
