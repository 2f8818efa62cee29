// SPDX-License-Identifier: GPL-3.0-or-later
#include "currentdevicewidget.h"
#include "graphicsviewitemwidget.h"
#include "imagecheck.h"
#include "needlegraphicsellipseitem.h"
#include "needlegraphicsellipsenotextitem.h"
#include "numberneddlewidget.h"

#include <QAnimationDriver>
#include <QPainter>
#include <QPropertyAnimation>
#include <QStyleOptionGraphicsItem>
#include <QtTest>

#include <memory>

namespace {

const QColor Background("#0E141B");

std::unique_ptr<AbstractNeedleGraphicsItem> makeItem(bool withText)
{
    if (withText)
        return std::make_unique<NeedleGraphicsEllipseItem>(0, 0, 1892, 990);
    return std::make_unique<NeedleGraphicsEllipseNoTextItem>(0, 0, 1892, 990);
}

// Paints the item one to one, as on a first frame of the view; a dial aims its
// needle only once it has been drawn.
QImage render(AbstractNeedleGraphicsItem *item)
{
    QImage image(1892, 990, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::black);
    QPainter painter(&image);
    const QStyleOptionGraphicsItem option;
    item->paint(&painter, &option);
    return image;
}

// Animation time that only the test moves, so that a sweep's length is seen on either side of
// it without waiting and whatever the machine's load.
class AnimationClock : public QAnimationDriver
{
public:
    AnimationClock() { install(); }
    ~AnimationClock() override { uninstall(); }
    // From the frame that starts a sweep, for ms. Animations come to the driver by a posted call.
    void sweepFor(int ms)
    {
        QCoreApplication::processEvents();
        advance();
        m_ms += ms;
        advance();
    }
    qint64 elapsed() const override { return m_ms - m_startMs; }

protected:
    void start() override
    {
        m_startMs = m_ms;
        QAnimationDriver::start();
    }

private:
    qint64 m_ms = 0;
    qint64 m_startMs = 0;
};

void verifyColours(
    const QImage &image, const QList<QPair<QPointF, QColor>> &probes, int tolerance = 40)
{
    for (const auto &probe : probes)
        QVERIFY2(ImageCheck::isColorAt(image, probe.first, probe.second, tolerance),
            qPrintable(ImageCheck::describe(image, probe.first)));
}

} // namespace

// The needle dials of the pages, and the painted gauge.
class TestNeedleGauge : public QObject
{
    Q_OBJECT

private slots:
    void needleAngleAndLength_data()
    {
        QTest::addColumn<double>("previous");
        QTest::addColumn<double>("current");
        QTest::addColumn<double>("angle");
        QTest::addColumn<double>("extension");
        QTest::newRow("half of 300 mA points up") << 0.0 << 0.15 << 90.0 << 24.0;
        QTest::newRow("exactly 300 mA stays in mA range") << 0.0 << 0.3 << 40.0 << 24.0;
        QTest::newRow("just above 300 mA") << 0.0 << 0.30001 << 124.9995 << -10.0;
        QTest::newRow("2 A full scale") << 0.0 << 2.0 << 40.0 << -10.0;
        QTest::newRow("5 A full scale") << 0.0 << 5.0 << 40.0 << -110.0;
        QTest::newRow("over 5 A after 1 A keeps length") << 1.0 << 6.0 << 0.0 << -10.0;
        QTest::newRow("over 5 A after 4 A keeps length") << 4.0 << 5.5 << 0.0 << -110.0;
        QTest::newRow("negative beyond the start") << 0.0 << -0.1 << 140.0 + 100.0 / 3 << 24.0;
    }
    void needleAngleAndLength()
    {
        QFETCH(double, previous);
        QFETCH(double, current);
        QFETCH(double, angle);
        for (const bool withText : {true, false}) {
            const auto item = makeItem(withText);
            render(item.get());
            item->onParameterChanged(0, float(previous), 0);
            item->setValue(current);
            QVERIFY2(qAbs(item->angleForValue(current) - angle) < 0.02,
                qPrintable(QString::number(item->angleForValue(current), 'f', 4)));
            QTEST(item->needleExtension(), "extension");
        }
    }

    void sweep_data()
    {
        QTest::addColumn<int>("ms");
        QTest::addColumn<bool>("atRest");
        QTest::newRow("a bit under 300 ms") << 290 << false;
        QTest::newRow("just past 300 ms") << 310 << true;
    }
    // A sweep takes 300 ms, and starts from the previous reading's angle, not from where the
    // needle stands.
    void sweep()
    {
        QFETCH(int, ms);
        QFETCH(bool, atRest);
        AnimationClock clock;
        NeedleGraphicsEllipseItem item(0, 0, 1892, 990);
        render(&item);
        item.onParameterChanged(5, 0.15f, 0.75f);
        clock.sweepFor(100);
        QVERIFY(item.needleAngle() < 140.0 && item.needleAngle() > 90.0);
        item.onParameterChanged(5, 0.3f, 1.5f);
        QVERIFY(qAbs(item.needleAngle() - 90.0) < 1e-3);
        clock.sweepFor(ms);
        const auto *animation = item.findChild<QPropertyAnimation *>();
        QCOMPARE(animation->state() == QAbstractAnimation::Stopped, atRest);
        QCOMPARE(qAbs(item.needleAngle() - item.angleForValue(0.3f)) < 0.02, atRest);
        // Milliamperes are cut, not rounded.
        item.onParameterChanged(5.0f, 0.0125f, 0.0625f);
        QCOMPARE(QStringList({item.voltageText(), item.powerText(), item.currentText()}),
            QStringList({"5.000", "0.063", "12"}));
    }

    // A dial first drawn after the readings began (a page shown later) stands at the reading
    // from its first frame instead of sweeping up from zero.
    void firstFrameStandsAtTheReading()
    {
        AnimationClock clock;
        NeedleGraphicsEllipseItem item(0, 0, 1892, 990);
        item.onParameterChanged(5, 0.15f, 0.75f);
        render(&item);
        QVERIFY(qAbs(item.needleAngle() - 90.0) < 0.02);
    }

    // With reduced motion the needle stands on each reading at once, and stays there.
    void reducedMotionJumps()
    {
        NeedleGraphicsEllipseItem item(0, 0, 1892, 990);
        item.setReduceMotion(true);
        render(&item);
        for (float current : {0.15f, 1.2f, 0.0f}) {
            item.onParameterChanged(5, current, 5 * current);
            QCOMPARE(item.needleAngle(), item.angleForValue(current));
            QCOMPARE(item.findChild<QPropertyAnimation *>()->state(), QAbstractAnimation::Stopped);
        }
    }

    void drawnDial_data()
    {
        QTest::addColumn<bool>("withText");
        QTest::addColumn<QPointF>("pivot");
        QTest::addColumn<QPointF>("centre");
        QTest::addColumn<double>("outerRadius");
        QTest::newRow("with read-outs") << true << QPointF(946, 670) << QPointF(946, 1086) << 944.0;
        QTest::newRow("without read-outs")
            << false << QPointF(946, 932) << QPointF(946, 1146) << 1044.0;
    }
    void drawnDial()
    {
        QFETCH(bool, withText);
        QFETCH(QPointF, pivot);
        QFETCH(QPointF, centre);
        QFETCH(double, outerRadius);
        const auto item = makeItem(withText);
        render(item.get());
        AnimationClock clock;
        item->onParameterChanged(5, 0.15f, 0.75f);
        clock.sweepFor(300);
        QVERIFY(qAbs(item->needleAngle() - 90.0) < 0.02);
        const QImage image = render(item.get());
        ImageCheck::save(image, withText ? "needlegauge_text" : "needlegauge_notext");
        verifyColours(image,
            {{pivot, Qt::white},
                {ImageCheck::pointAtAngle(centre, 140.0 - 3 * 2.0, outerRadius + 24),
                    QColor("#FFE000")},
                {ImageCheck::pointAtAngle(centre, 90.0, outerRadius + 24) + QPointF(0, 3),
                    Qt::white}});
        const QList<QPair<QPointF, QColor>> boxes = {{QPointF(1670, 76), QColor("#2BEAAF")},
            {QPointF(1670, 186), QColor("#00A2FF")}, {QPointF(940, 865), QColor("#F97988")}};
        for (const auto &box : boxes)
            QCOMPARE(ImageCheck::isColorNear(image, box.first, box.second, 12), withText);
    }

    // On a 125 % screen the dial cached once per size and the parts drawn on every frame
    // (needle, read-outs) must land on the same device pixels.
    void pageAtFractionalScale()
    {
        CurrentDeviceWidget page;
        page.resize(1149, 600);
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        auto *view = page.findChild<GraphicsViewItemWidget *>();
        QCoreApplication::processEvents();
        const QImage image = view->viewport()->grab().toImage();
        QCOMPARE(image.devicePixelRatio(), 1.25);
        ImageCheck::save(image, "needlepage_scale125");
        const auto at = [&](double x, double y) { return view->mapFromScene(x, y) * 1.25; };
        verifyColours(image,
            {{at(946, 670), Qt::white}, {at(1560, 46), QColor("#2BEAAF")},
                {at(1560, 156), QColor("#00A2FF")}, {at(712, 792), QColor("#F97988")},
                {at(300, 900), Background}});

        // A dial off screen takes its readings without sweeping; shown again, it comes to
        // rest on the last one.
        auto *item = static_cast<AbstractNeedleGraphicsItem *>(view->item());
        page.hide();
        item->onParameterChanged(5, 1.0f, 5.0f);
        page.show();
        QTRY_VERIFY(qAbs(item->needleAngle() - item->angleForValue(1.0)) < 0.02);
    }

    // The painted gauge: 50 divisions of which the last ten, from 4 on, are red.
    void paintedGaugeRedZone()
    {
        NumberNeddleWidget gauge;
        gauge.resize(1000, 500);
        QImage image(gauge.size(), QImage::Format_ARGB32_Premultiplied);
        gauge.render(&image);
        ImageCheck::save(image, "paintedgauge");
        QPointF left;
        QPointF right;
        QPointF centre;
        double leftAngle = 0;
        double rightAngle = 0;
        const double radius = NumberNeddleWidget::calcTopScribed(QRectF(80, 80, 840, 400), left,
                                  leftAngle, right, rightAngle, centre)
                                  .width()
            / 2;
        const double step = (leftAngle - rightAngle) / 50;
        // Division 39 is a short tick, 40 a long one.
        verifyColours(image,
            {{ImageCheck::pointAtAngle(centre, leftAngle - 39 * step, radius + 8), Qt::black},
                {ImageCheck::pointAtAngle(centre, leftAngle - 40 * step, radius + 20), Qt::red}},
            60);
    }
};

int main(int argc, char *argv[])
{
    qputenv("QT_SCALE_FACTOR", "1.25");
#if QT_VERSION < QT_VERSION_CHECK(6, 0, 0)
    // Qt 6 always scales.
    QApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
#endif
    QApplication app(argc, argv);
    TestNeedleGauge test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_needlegauge.moc"
