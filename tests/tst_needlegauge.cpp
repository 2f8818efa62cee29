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
    void viewMatchesFullSizeDial();
};

void tst_NeedleGauge::needleAngleAndLength_data()
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

void tst_NeedleGauge::needleAngleAndLength()
{
    QFETCH(double, previous);
    QFETCH(double, current);
    QFETCH(double, angle);

    for (const bool withText : {true, false}) {
        const auto item = makeItem(withText);
        prepare(item.get());
        item->onParameterChanged(0, float(previous), 0);
        item->setValue(current);

        QVERIFY2(qAbs(item->angleForValue(current) - angle) < 0.02,
            qPrintable(QString::number(item->angleForValue(current), 'f', 4)));
        QTEST(item->needleExtension(), "extension");
    }
}

void tst_NeedleGauge::animationRestartsFromPreviousValue()
{
    NeedleGraphicsEllipseItem item(0, 0, 1892, 990);
    prepare(&item);
    auto *animation = item.findChild<QPropertyAnimation *>();

    item.onParameterChanged(5, 0.15f, 0.75f);
    QTRY_VERIFY_WITH_TIMEOUT(animation->currentTime() >= 100, 5000);
    QVERIFY(item.needleAngle() < 140.0 && item.needleAngle() > 90.0);

    // The second measurement sweeps from the first one's angle, not from mid-way.
    QElapsedTimer sweep;
    sweep.start();
    item.onParameterChanged(5, 0.3f, 1.5f);
    QVERIFY(qAbs(item.needleAngle() - 90.0) < 1e-3);

    waitForNeedle(&item, item.angleForValue(0.3f));
    QVERIFY(sweep.elapsed() >= 290);
}

void tst_NeedleGauge::readouts_data()
{
    QTest::addColumn<bool>("painted");
    QTest::addColumn<QStringList>("texts");

    QTest::newRow("dropped before first paint") << false << QStringList {"0.000", "0.000", "1500"};
    QTest::newRow("milliamperes cut, not rounded") << true << QStringList {"5.000", "0.063", "12"};
}

void tst_NeedleGauge::readouts()
{
    QFETCH(bool, painted);

    NeedleGraphicsEllipseItem item(0, 0, 1892, 990);
    if (painted)
        prepare(&item);
    item.onParameterChanged(5.0f, 0.0125f, 0.0625f);

    QTEST(QStringList({item.voltageText(), item.powerText(), item.currentText()}), "texts");
    if (!painted)
        QCOMPARE(item.value(), 0.0);
}

void tst_NeedleGauge::drawnDial_data()
{
    QTest::addColumn<bool>("withText");
    QTest::addColumn<QPointF>("pivot");
    QTest::addColumn<QPointF>("centre");
    QTest::addColumn<double>("outerRadius");

    QTest::newRow("with read-outs") << true << QPointF(946, 670) << QPointF(946, 1086) << 944.0;
    QTest::newRow("without read-outs")
        << false << QPointF(946, 932) << QPointF(946, 1146) << 1044.0;
}

void tst_NeedleGauge::drawnDial()
{
    QFETCH(bool, withText);
    QFETCH(QPointF, pivot);
    QFETCH(QPointF, centre);
    QFETCH(double, outerRadius);

    const auto item = makeItem(withText);
    prepare(item.get());
    item->onParameterChanged(5, 0.15f, 0.75f);
    waitForNeedle(item.get(), 90.0);
    const QImage image = render(item.get());
    ImageCheck::save(image, withText ? "needlegauge_text" : "needlegauge_notext");

    QVERIFY2(ImageCheck::isColorAt(image, pivot, kWhite),
        qPrintable(ImageCheck::describe(image, pivot)));
    const QPointF milliampereDot
        = ImageCheck::pointAtAngle(centre, 140.0 - 3 * 2.0, outerRadius + 24);
    QVERIFY2(ImageCheck::isColorAt(image, milliampereDot, QColor("#FFE000")),
        qPrintable(ImageCheck::describe(image, milliampereDot)));
    const QPointF tip = ImageCheck::pointAtAngle(centre, 90.0, outerRadius + 24) + QPointF(0, 3);
    QVERIFY2(
        ImageCheck::isColorAt(image, tip, kWhite), qPrintable(ImageCheck::describe(image, tip)));

    const QList<QPair<QPointF, QColor>> boxes = {{QPointF(1670, 76), QColor("#2BEAAF")},
        {QPointF(1670, 186), QColor("#00A2FF")}, {QPointF(940, 865), QColor("#F97988")}};
    for (const auto &box : boxes) {
        if (withText)
            QVERIFY2(ImageCheck::isColorNear(image, box.first, box.second, 12),
                qPrintable(ImageCheck::describe(image, box.first)));
        else
            QCOMPARE(ImageCheck::countColor(image, box.second, 12), 0);
    }
}

void tst_NeedleGauge::viewMatchesFullSizeDial()
{
    GraphicsViewItemWidget view;
    view.scene()->setBackgroundBrush(kBackground);
    auto *item = new NeedleGraphicsEllipseItem(0, 0, 1892, 990);
    item->setPen(QPen(Qt::red, 4));
    item->setBrush(Qt::NoBrush);
    view.setItem(item);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));

    const QSize size(1149, 652);
    view.resize(size);
    QTRY_COMPARE(view.viewport()->size(), size);
    item->onParameterChanged(5, 0.15f, 0.75f);
    waitForNeedle(item, 90.0);

    const QImage shown = ImageCheck::grab(view.viewport()).convertToFormat(QImage::Format_RGB32);
    ImageCheck::save(shown, "needlegauge_view");
    const QRectF dial = view.mapFromScene(QRectF(0, 0, 1892, 990)).boundingRect();
    QVERIFY(QRectF(-1, -1, size.width() + 2, size.height() + 2).contains(dial));
    QVERIFY(dial.width() >= size.width() - 6 || dial.height() >= size.height() - 6);

    // The dial resampled once per size must look like the dial filtered on every frame.
    QImage reference(size, QImage::Format_RGB32);
    reference.fill(kBackground);
    QPainter painter(&reference);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(dial, render(item));
    painter.end();
    qint64 sum = 0;
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x) {
            const QRgb a = shown.pixel(x, y);
            const QRgb b = reference.pixel(x, y);
            sum += qAbs(qRed(a) - qRed(b)) + qAbs(qGreen(a) - qGreen(b))
                + qAbs(qBlue(a) - qBlue(b));
        }
    }
    const double meanDifference = double(sum) / (3.0 * size.width() * size.height());
    QVERIFY2(meanDifference < 3.0, qPrintable(QString::number(meanDifference)));
}

QTEST_MAIN(tst_NeedleGauge)
#include "tst_needlegauge.moc"
