#include "graphicsviewitemwidget.h"
#include "imagecheck.h"
#include "needlegraphicsellipseitem.h"
#include "needlegraphicsellipsenotextitem.h"

#include <QElapsedTimer>
#include <QGraphicsScene>
#include <QPainter>
#include <QPropertyAnimation>
#include <QStyleOptionGraphicsItem>
#include <QtTest>

#include <memory>

namespace {

const QColor kWhite(Qt::white);
const QColor kBackground("#0E141B");
const QColor kDot("#FFE000");

// The page's item: its dial centre sits at (946, 1146) and its outer scale radius is 944, or
// 1044 for the item without read-outs.
const QPointF kCentre(946, 1146);

std::unique_ptr<AbstractNeedleGraphicsItem> makeItem(bool withText)
{
    if (withText)
        return std::make_unique<NeedleGraphicsEllipseItem>(0, 0, 1892, 990);
    return std::make_unique<NeedleGraphicsEllipseNoTextItem>(0, 0, 1892, 990);
}

// Paints the item one to one, as on a first frame of the view.
QImage render(AbstractNeedleGraphicsItem *item)
{
    QImage image(1892, 990, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::black);
    QPainter painter(&image);
    const QStyleOptionGraphicsItem option;
    item->paint(&painter, &option);
    return image;
}

void prepare(AbstractNeedleGraphicsItem *item)
{
    item->setPen(QPen(Qt::red, 4));
    item->setBrush(Qt::NoBrush);
    render(item);
}

// The item painted one to one and then filtered down to the view, as a frame would be without
// the resampled copy of the dial.
QImage scaledReference(const QImage &full, const QSize &size, const QRectF &target)
{
    QImage reference(size, QImage::Format_ARGB32_Premultiplied);
    reference.fill(kBackground);
    QPainter painter(&reference);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, full);
    return reference;
}

double meanDifference(const QImage &a, const QImage &b)
{
    const QImage left = a.convertToFormat(QImage::Format_RGB32);
    const QImage right = b.convertToFormat(QImage::Format_RGB32);
    qint64 sum = 0;
    for (int y = 0; y < left.height(); ++y) {
        const auto *l = reinterpret_cast<const QRgb *>(left.constScanLine(y));
        const auto *r = reinterpret_cast<const QRgb *>(right.constScanLine(y));
        for (int x = 0; x < left.width(); ++x)
            sum += qAbs(qRed(l[x]) - qRed(r[x])) + qAbs(qGreen(l[x]) - qGreen(r[x]))
                + qAbs(qBlue(l[x]) - qBlue(r[x]));
    }
    return double(sum) / (3.0 * left.width() * left.height());
}

// Waits until the sweep has ended on the angle, within the precision arcMoveTo gives.
void waitForNeedle(AbstractNeedleGraphicsItem *item, double angle)
{
    auto *animation = item->findChild<QPropertyAnimation *>();
    QTRY_COMPARE_WITH_TIMEOUT(animation->state(), QAbstractAnimation::Stopped, 5000);
    QVERIFY2(
        qAbs(item->needleAngle() - angle) < 0.02, qPrintable(QString::number(item->needleAngle())));
}

} // namespace

class tst_NeedleGauge : public QObject
{
    Q_OBJECT

private slots:
    void needleAngleAndLength_data();
    void needleAngleAndLength();
    void animationRestartsFromPreviousValue();
    void readouts_data();
    void readouts();
    void drawnDial_data();
    void drawnDial();
    void viewFitsItemAtAnySize();
};

void tst_NeedleGauge::needleAngleAndLength_data()
{
    QTest::addColumn<double>("previous");
    QTest::addColumn<double>("current");
    QTest::addColumn<double>("angle");
    QTest::addColumn<double>("extension");

    QTest::newRow("zero") << 0.0 << 0.0 << 140.0 << 24.0;
    QTest::newRow("half of 300 mA points up") << 0.0 << 0.15 << 90.0 << 24.0;
    QTest::newRow("exactly 300 mA stays in mA range") << 0.0 << 0.3 << 40.0 << 24.0;
    QTest::newRow("just above 300 mA") << 0.0 << 0.30001 << 124.9995 << -10.0;
    QTest::newRow("2 A full scale") << 0.0 << 2.0 << 40.0 << -10.0;
    QTest::newRow("5 A full scale") << 0.0 << 5.0 << 40.0 << -110.0;
    QTest::newRow("over 5 A after 1 A keeps length") << 1.0 << 6.0 << 0.0 << -10.0;
    QTest::newRow("over 5 A after 4 A keeps length") << 4.0 << 5.5 << 0.0 << -110.0;
    QTest::newRow("negative beyond the start") << 0.0 << -0.1 << 140.0 + 100.0 / 3 << 24.0;
}

void tst_NeedleGauge::needleAngleAndLength()
{
    QFETCH(double, previous);
    QFETCH(double, current);
    QFETCH(double, angle);
    QFETCH(double, extension);

    for (const bool withText : {true, false}) {
        const auto item = makeItem(withText);
        prepare(item.get());
        item->onParameterChanged(0, float(previous), 0);
        item->setValue(current);

        QVERIFY2(qAbs(item->angleForValue(current) - angle) < 0.02,
            qPrintable(QString::number(item->angleForValue(current), 'f', 4)));
        QCOMPARE(item->needleExtension(), extension);
        QCOMPARE(item->value(), current);
        const auto *animation = item->findChild<QPropertyAnimation *>();
        QCOMPARE(animation->endValue().toDouble(), item->angleForValue(current));
        QCOMPARE(animation->startValue().toDouble(), item->angleForValue(float(previous)));
    }
}

void tst_NeedleGauge::animationRestartsFromPreviousValue()
{
    NeedleGraphicsEllipseItem item(0, 0, 1892, 990);
    prepare(&item);
    auto *animation = item.findChild<QPropertyAnimation *>();
    QVERIFY(animation);
    QCOMPARE(animation->duration(), 300);

    item.onParameterChanged(5, 0.15f, 0.75f);
    QTRY_VERIFY_WITH_TIMEOUT(animation->currentTime() >= 100, 5000);
    QVERIFY(item.needleAngle() < 140.0 && item.needleAngle() > 90.0);

    // The second measurement sweeps from the first one's angle, not from mid-way.
    QElapsedTimer sweep;
    sweep.start();
    item.onParameterChanged(5, 0.3f, 1.5f);
    QCOMPARE(animation->startValue().toDouble(), item.angleForValue(0.15f));
    QCOMPARE(animation->endValue().toDouble(), item.angleForValue(0.3f));
    QVERIFY(qAbs(item.needleAngle() - 90.0) < 1e-3);

    waitForNeedle(&item, item.angleForValue(0.3f));
    QVERIFY(sweep.elapsed() >= 290);
    QCOMPARE(animation->state(), QAbstractAnimation::Stopped);
}

void tst_NeedleGauge::readouts_data()
{
    QTest::addColumn<bool>("painted");
    QTest::addColumn<float>("voltage");
    QTest::addColumn<float>("current");
    QTest::addColumn<float>("power");
    QTest::addColumn<QString>("voltageText");
    QTest::addColumn<QString>("powerText");
    QTest::addColumn<QString>("currentText");

    QTest::newRow("dropped before first paint") << false << 5.0f << 0.0125f << 0.0625f << "0.000"
                                                << "0.000"
                                                << "1500";
    QTest::newRow("milliamperes cut, not rounded") << true << 5.0f << 0.0125f << 0.0625f << "5.000"
                                                   << "0.063"
                                                   << "12";
    QTest::newRow("zero") << true << 0.0f << 0.0f << 0.0f << "0.000"
                          << "0.000"
                          << "0";
    QTest::newRow("negative current") << true << 4.99f << -0.0019f << 0.0f << "4.990"
                                      << "0.000"
                                      << "-1";
    QTest::newRow("large values") << true << 20.0f << 4.25f << 84.0f << "20.000"
                                  << "84.000"
                                  << "4250";
}

void tst_NeedleGauge::readouts()
{
    QFETCH(bool, painted);
    QFETCH(float, voltage);
    QFETCH(float, current);
    QFETCH(float, power);

    NeedleGraphicsEllipseItem item(0, 0, 1892, 990);
    QCOMPARE(item.voltageText(), "0.000");
    QCOMPARE(item.powerText(), "0.000");
    QCOMPARE(item.currentText(), "1500");

    if (painted)
        prepare(&item);
    item.onParameterChanged(voltage, current, power);

    QTEST(item.voltageText(), "voltageText");
    QTEST(item.powerText(), "powerText");
    QTEST(item.currentText(), "currentText");
    QCOMPARE(item.outerArcRect().isNull(), !painted);
    if (!painted)
        QCOMPARE(item.value(), 0.0);
}

void tst_NeedleGauge::drawnDial_data()
{
    QTest::addColumn<bool>("withText");
    QTest::addColumn<QPointF>("pivot");
    QTest::addColumn<double>("outerRadius");
    QTest::addColumn<double>("shift");

    QTest::newRow("with read-outs") << true << QPointF(946, 670) << 944.0 << -60.0;
    QTest::newRow("without read-outs") << false << QPointF(946, 932) << 1044.0 << 0.0;
}

void tst_NeedleGauge::drawnDial()
{
    QFETCH(bool, withText);
    QFETCH(QPointF, pivot);
    QFETCH(double, outerRadius);
    QFETCH(double, shift);

    const auto item = makeItem(withText);
    item->setPen(QPen(Qt::red, 4));
    const QString name = withText ? "needlegauge_text" : "needlegauge_notext";
    const QPointF centre = kCentre + QPointF(0, shift);

    const QImage before = render(item.get());
    ImageCheck::save(before, name + "_initial");

    QVERIFY2(ImageCheck::isColorAt(before, pivot, kWhite),
        qPrintable(ImageCheck::describe(before, pivot)));
    QVERIFY(ImageCheck::isColorAt(before, pivot + QPointF(20, 20), kWhite));
    const QPointF smallDot = ImageCheck::pointAtAngle(centre, 140.0 - 3 * 2.0, outerRadius + 24);
    QVERIFY2(ImageCheck::isColorAt(before, smallDot, kDot),
        qPrintable(ImageCheck::describe(before, smallDot)));
    const QPointF bigDot = ImageCheck::pointAtAngle(centre, 140.0 - 5 * 2.0, outerRadius + 24);
    QVERIFY(ImageCheck::isColorAt(before, bigDot + QPointF(7, 0), kDot));

    const QPointF restingTip = ImageCheck::pointAtAngle(centre, 140.0, outerRadius);
    QVERIFY(ImageCheck::isLineDrawn(before, pivot, restingTip, kWhite));

    if (withText) {
        const QList<QPair<QRectF, QColor>> boxes = {{QRectF(1550, 36, 240, 80), QColor("#2BEAAF")},
            {QRectF(1550, 146, 240, 80), QColor("#00A2FF")},
            {QRectF(700, 780, 480, 170), QColor("#F97988")}};
        for (const auto &box : boxes) {
            QVERIFY2(ImageCheck::isColorNear(before, box.first.center(), box.second, 12),
                qPrintable(ImageCheck::describe(before, box.first.center())));
            QVERIFY(
                ImageCheck::isColorAt(before, box.first.topLeft() + QPointF(6, 40), box.second));
            // The read-out itself: white text inside the box.
            QVERIFY(ImageCheck::countColorIn(before, box.first.toRect(), kWhite, 30) > 100);
        }
        QVERIFY(ImageCheck::countColorIn(before, QRect(1806, 36, 60, 80), kWhite, 30) > 50);
        QVERIFY(ImageCheck::countColorIn(before, QRect(1220, 800, 160, 166), kWhite, 30) > 50);
        // The rounded frame runs along the item's edge.
        QVERIFY(ImageCheck::isColorAt(before, QPointF(946, 1), QColor("#333B48"), 20));
    } else {
        for (const char *boxColor : {"#2BEAAF", "#00A2FF", "#F97988"})
            QCOMPARE(ImageCheck::countColor(before, QColor(boxColor), 12), 0);
        QVERIFY(ImageCheck::isColorAt(before, QPointF(946, 1), kBackground, 20));
    }

    item->onParameterChanged(5, 0.15f, 0.75f);
    waitForNeedle(item.get(), 90.0);
    const QImage after = render(item.get());
    ImageCheck::save(after, name + "_150mA");

    const QPointF tip = ImageCheck::pointAtAngle(centre, 90.0, outerRadius + 24);
    QVERIFY2(ImageCheck::isColorAt(after, tip + QPointF(0, 3), kWhite),
        qPrintable(ImageCheck::describe(after, tip + QPointF(0, 3))));
    QVERIFY(ImageCheck::isLineDrawn(after, pivot, tip, kWhite));
    QVERIFY(!ImageCheck::isColorAt(after, (pivot + restingTip) / 2, kWhite));
    QVERIFY(ImageCheck::isColorAt(after, pivot, kWhite));
}

void tst_NeedleGauge::viewFitsItemAtAnySize()
{
    GraphicsViewItemWidget view;
    view.scene()->setBackgroundBrush(QColor("#0E141B"));
    auto *item = new NeedleGraphicsEllipseItem(0, 0, 1892, 990);
    item->setPen(QPen(Qt::red, 4));
    item->setBrush(Qt::NoBrush);
    view.setItem(item);
    QCOMPARE(view.styleSheet(), "border: none;");
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));

    for (const QSize &size : {QSize(1149, 652), QSize(1920, 1080), QSize(600, 500)}) {
        view.resize(size);
        QTRY_COMPARE(view.viewport()->size(), size);
        item->onParameterChanged(5, 0.15f, 0.75f);
        waitForNeedle(item, 90.0);

        const QImage shown = ImageCheck::grab(view.viewport());
        ImageCheck::save(
            shown, QString("needlegauge_view_%1x%2").arg(size.width()).arg(size.height()));

        const auto at
            = [&view](const QPointF &scenePoint) { return QPointF(view.mapFromScene(scenePoint)); };
        QVERIFY(ImageCheck::isColorNear(shown, at(QPointF(946, 670)), kWhite, 2));
        QVERIFY(ImageCheck::isColorNear(shown, at(QPointF(1560, 76)), QColor("#2BEAAF"), 2));
        QVERIFY(ImageCheck::isColorNear(shown, at(QPointF(710, 865)), QColor("#F97988"), 2));
        const QPointF dot = ImageCheck::pointAtAngle(QPointF(946, 1086), 134.0, 968);
        QVERIFY(ImageCheck::isColorNear(shown, at(dot), kDot, 2));
        QVERIFY(
            ImageCheck::isLineDrawn(shown, at(QPointF(946, 670)), at(QPointF(946, 130)), kWhite));

        const QRectF bounds = view.mapFromScene(item->sceneBoundingRect()).boundingRect();
        QVERIFY(bounds.width() <= size.width() + 1 && bounds.height() <= size.height() + 1);
        QVERIFY(bounds.width() >= size.width() - 6 || bounds.height() >= size.height() - 6);

        // The dial resampled once per size must look like the dial filtered on every frame.
        const QImage reference = scaledReference(
            render(item), shown.size(), view.mapFromScene(QRectF(0, 0, 1892, 990)).boundingRect());
        ImageCheck::save(
            reference, QString("needlegauge_reference_%1x%2").arg(size.width()).arg(size.height()));
        QVERIFY2(meanDifference(shown, reference) < 3.0,
            qPrintable(QString::number(meanDifference(shown, reference))));

        item->onParameterChanged(5, 0.0f, 0.0f);
        waitForNeedle(item, 140.0);
    }
}

QTEST_MAIN(tst_NeedleGauge)
#include "tst_needlegauge.moc"
