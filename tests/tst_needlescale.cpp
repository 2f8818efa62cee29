#include "currentdevicewidget.h"
#include "graphicsviewitemwidget.h"
#include "imagecheck.h"

#include <QApplication>
#include <QGraphicsItem>
#include <QGraphicsScene>
#include <QtTest>

// The needle page on a screen with a fractional scale factor (125 %): the cached dial and the
// parts drawn on every frame (needle, read-outs) must land on the same device pixels.
class TestNeedleScale : public QObject
{
    Q_OBJECT

private slots:
    void dialAndLiveLayerAgree_data();
    void dialAndLiveLayerAgree();
};

void TestNeedleScale::dialAndLiveLayerAgree_data()
{
    QTest::addColumn<QPointF>("scenePoint");
    QTest::addColumn<QColor>("expected");

    QTest::newRow("hub under the needle's pivot") << QPointF(946, 670) << QColor(Qt::white);
    QTest::newRow("voltage box") << QPointF(1560, 46) << QColor("#2BEAAF");
    QTest::newRow("power box") << QPointF(1560, 156) << QColor("#00A2FF");
    QTest::newRow("current box") << QPointF(712, 792) << QColor("#F97988");
    QTest::newRow("below the dial") << QPointF(300, 900) << QColor("#0E141B");
}

void TestNeedleScale::dialAndLiveLayerAgree()
{
    QFETCH(QPointF, scenePoint);
    QFETCH(QColor, expected);

    CurrentDeviceWidget page;
    page.resize(1149, 600);
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    auto *view = page.findChild<GraphicsViewItemWidget *>();
    QVERIFY(view);
    QCoreApplication::processEvents();

    const QImage image = view->viewport()->grab().toImage();
    QCOMPARE(image.devicePixelRatio(), 1.25);
    ImageCheck::save(image, QStringLiteral("needlepage_scale125"));

    const QPointF logical = view->mapFromScene(scenePoint);
    QVERIFY2(ImageCheck::isColorAt(image, logical * image.devicePixelRatio(), expected),
        qPrintable(ImageCheck::describe(image, logical * image.devicePixelRatio())));
}

int main(int argc, char *argv[])
{
    qputenv("QT_SCALE_FACTOR", "1.25");
    QApplication app(argc, argv);
    TestNeedleScale test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_needlescale.moc"
