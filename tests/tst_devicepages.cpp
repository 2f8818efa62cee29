#include "commoncurrentusbdevice.h"
#include "currentandneedledevicewidget.h"
#include "currentdevicelinewidget.h"
#include "currentdevicewidget.h"
#include "graphicsviewitemwidget.h"
#include "imagecheck.h"
#include "metersimulator.h"
#include "needlegraphicsellipseitem.h"

#include <QLabel>
#include <QStackedWidget>
#include <QThread>
#include <QtTest>

#include <atomic>

namespace {

QString labelText(QWidget *page, const char *name)
{
    auto *label = page->findChild<QLabel *>(name);
    return label ? label->text() : QString("<no %1>").arg(name);
}

} // namespace

class tst_DevicePages : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void pagesShowMeasurements_data();
    void pagesShowMeasurements();
    void triplesArriveQueuedOnGuiThread();
    void languageChangeResetsValues();
    void renderedPages();

private:
    void feed(double volts, double amperes, double watts)
    {
        m_meter.setProfile(LoadProfile::constant(volts, amperes, watts));
    }

    MeterSimulator m_meter;
    QStackedWidget *m_stack = nullptr;
    CurrentDeviceLineWidget *m_linePage = nullptr;
    CurrentDeviceWidget *m_needlePage = nullptr;
    CurrentAndNeedleDeviceWidget *m_combinedPage = nullptr;
    CommonCurrentUSBDevice *m_device = nullptr;
    // Written on the device's worker thread as each triple leaves it.
    std::atomic<QThread *> m_emittingThread {nullptr};
    std::atomic<float> m_emittedCurrent {-1.0f};
};

void tst_DevicePages::initTestCase()
{
    m_meter.setProfile(LoadProfile::constant(0, 0, 0));
    QVERIFY2(m_meter.startOnPty(), qPrintable(m_meter.errorString()));

    m_stack = new QStackedWidget;
    m_linePage = new CurrentDeviceLineWidget(m_stack);
    m_needlePage = new CurrentDeviceWidget(m_stack);
    m_combinedPage = new CurrentAndNeedleDeviceWidget(m_stack);
    m_stack->addWidget(m_linePage);
    m_stack->addWidget(m_needlePage);
    m_stack->addWidget(m_combinedPage);
    // Only the needle page is shown, as at start-up: the others must keep up while hidden.
    m_stack->setCurrentWidget(m_needlePage);
    m_stack->resize(1149, 600);
    m_stack->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_stack));

    m_device = new CommonCurrentUSBDevice(m_stack);
    connect(
        m_device, &CommonCurrentUSBDevice::parameterChanged, this,
        [this](float, float current, float) {
            m_emittingThread = QThread::currentThread();
            m_emittedCurrent = current;
        },
        Qt::DirectConnection);
    m_needlePage->setDevice(m_device);
    m_linePage->setDevice(m_device);
    m_combinedPage->setDevice(m_device);

    QSignalSpy online(m_device, &CommonCurrentUSBDevice::deviceOnline);
    // As the port monitor reports a meter's port; the device remembers it and opens it.
    QVERIFY(QMetaObject::invokeMethod(m_device, "onSerialFounded",
        Q_ARG(QString, m_meter.portName()), Q_ARG(QStringList, {"通用电流表"})));
    QVERIFY(online.wait(10000));
}

void tst_DevicePages::cleanupTestCase()
{
    delete m_stack;
    m_meter.stop();
}

void tst_DevicePages::pagesShowMeasurements_data()
{
    QTest::addColumn<double>("volts");
    QTest::addColumn<double>("amperes");
    QTest::addColumn<double>("watts");
    QTest::addColumn<QStringList>("tiles");
    QTest::addColumn<QStringList>("cells");

    QTest::newRow("rounded to the tiles' decimals")
        << 1.23456 << 0.5 << 0.61728 << QStringList {"1.235 V", "0.500 A", "0.62 W"}
        << QStringList {"1.235", "0.500", "0.62"};
    QTest::newRow("zeros") << 0.0 << 0.0 << 0.0 << QStringList {"0.000 V", "0.000 A", "0.00 W"}
                           << QStringList {"0.000", "0.000", "0.00"};
}

void tst_DevicePages::pagesShowMeasurements()
{
    QFETCH(double, volts);
    QFETCH(double, amperes);
    QFETCH(double, watts);
    QFETCH(QStringList, tiles);
    QFETCH(QStringList, cells);

    feed(volts, amperes, watts);
    // Both pages are hidden behind the needle page.
    const char *const labels[] = {"lblVoltage", "lblCurrent", "lblPower"};
    for (int i = 0; i < 3; ++i) {
        QTRY_COMPARE_WITH_TIMEOUT(labelText(m_linePage, labels[i]), tiles[i], 5000);
        QTRY_COMPARE_WITH_TIMEOUT(labelText(m_combinedPage, labels[i]), cells[i], 5000);
    }
}

void tst_DevicePages::triplesArriveQueuedOnGuiThread()
{
    feed(5.0, 0.1, 0.5);
    QTRY_COMPARE_WITH_TIMEOUT(labelText(m_linePage, "lblCurrent"), "0.100 A", 5000);

    // The poll runs on the GUI thread, so let one request out and have the meter answer it
    // late; then hold the GUI thread until the worker has emitted that answer. A page
    // connected directly would already show it, a queued one only once the event loop runs.
    MeterSimulator::Faults lateReplies;
    lateReplies.replyDelayMs = 1000;
    m_meter.setFaults(MeterSimulator::MeasurementRequest, lateReplies);
    feed(5.0, 0.2, 1.0);
    const int requests = m_meter.requestCount(MeterSimulator::MeasurementRequest);
    QTRY_VERIFY_WITH_TIMEOUT(
        m_meter.requestCount(MeterSimulator::MeasurementRequest) > requests, 5000);
    QDeadlineTimer deadline(5000);
    while (m_emittedCurrent != 0.2f && !deadline.hasExpired())
        QThread::yieldCurrentThread();
    m_meter.clearFaults();
    QCOMPARE(m_emittedCurrent.load(), 0.2f);
    QVERIFY(m_emittingThread.load() != QThread::currentThread());
    QCOMPARE(labelText(m_linePage, "lblCurrent"), "0.100 A");
    QCOMPARE(labelText(m_combinedPage, "lblCurrent"), "0.100");

    QTRY_COMPARE_WITH_TIMEOUT(labelText(m_linePage, "lblCurrent"), "0.200 A", 5000);
    auto *needle = static_cast<NeedleGraphicsEllipseItem *>(
        m_needlePage->findChild<GraphicsViewItemWidget *>()->item());
    QTRY_COMPARE_WITH_TIMEOUT(needle->currentText(), "200", 5000);
}

void tst_DevicePages::languageChangeResetsValues()
{
    feed(1.23456, 0.5, 0.61728);
    QTRY_COMPARE_WITH_TIMEOUT(labelText(m_combinedPage, "lblCurrent"), "0.500", 5000);

    // Sent at once, ahead of any queued measurement, so the reset can be seen.
    QEvent languageChange(QEvent::LanguageChange);
    QCoreApplication::sendEvent(m_combinedPage, &languageChange);

    for (const char *value : {"lblVoltage", "lblCurrent", "lblPower"})
        QCOMPARE(labelText(m_combinedPage, value), "TextLabel");
    QCOMPARE(labelText(m_combinedPage, "label"), "00:00:00");

    // The next measurement brings the numbers back.
    QTRY_COMPARE_WITH_TIMEOUT(labelText(m_combinedPage, "lblCurrent"), "0.500", 5000);
}

void tst_DevicePages::renderedPages()
{
    feed(5.0, 0.15, 0.75);
    QTRY_COMPARE_WITH_TIMEOUT(labelText(m_combinedPage, "lblCurrent"), "0.150", 5000);

    struct Shot
    {
        QWidget *page;
        const char *name;
    };
    for (const Shot &shot : {Shot {m_linePage, "page_curve"}, Shot {m_needlePage, "page_needle"},
             Shot {m_combinedPage, "page_curve_needle"}}) {
        m_stack->setCurrentWidget(shot.page);
        auto *view = shot.page->findChild<GraphicsViewItemWidget *>();
        if (view) {
            auto *item = static_cast<AbstractNeedleGraphicsItem *>(view->item());
            QTRY_VERIFY_WITH_TIMEOUT(qAbs(item->needleAngle() - 90.0) < 0.05, 5000);
        }
        const QImage image = ImageCheck::grab(m_stack);
        QVERIFY(!ImageCheck::save(image, shot.name).isEmpty());
        if (view) {
            const QPointF hub = shot.page == m_needlePage ? QPointF(946, 670) : QPointF(946, 932);
            const QPoint onView = view->mapFromScene(hub);
            QVERIFY(ImageCheck::isColorNear(
                image, view->viewport()->mapTo(m_stack, onView), Qt::white, 2));
        }
    }
}

QTEST_MAIN(tst_DevicePages)
#include "tst_devicepages.moc"
