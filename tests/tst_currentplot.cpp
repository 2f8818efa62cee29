// SPDX-License-Identifier: GPL-3.0-or-later
#include "imagecheck.h"
#include "kestravonsinglecurrentcustomplot.h"

#include <QtTest>

#include <cmath>

namespace {

using Measurement = QPair<double, double>; // seconds since the first measurement, amperes
using Measurements = QVector<Measurement>;

// Feeds a plot a measurement at a chosen instant instead of the wall clock.
void feed(KestravonSingleCurrentCustomPlot &plot, double seconds, double current)
{
    const QTime now = QTime(8, 0).addMSecs(int(std::lround(seconds * 1000)));
    plot.setClock([now] { return now; });
    plot.onVoltageAndCurrentChanged(5.0f, float(current));
}

QSharedPointer<QCPAxisTickerTime> timeTicker(const KestravonSingleCurrentCustomPlot &plot)
{
    return qSharedPointerDynamicCast<QCPAxisTickerTime>(plot.xAxis->ticker());
}

} // namespace

class TestCurrentPlot : public QObject
{
    Q_OBJECT

private slots:
    // The time window is as many seconds as 200 px fit beside the axes, and fills from 0
    // before it slides; the value axis tops the peak of the window and one second more by
    // 300 mA, and never goes below 500 mA.
    void windowAndAxes_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<Measurements>("measurements");
        QTest::addColumn<double>("top");
        QTest::addColumn<double>("lower");
        QTest::addColumn<double>("upper");
        QTest::addColumn<int>("tickCount");
        QTest::addColumn<int>("secondsPerWidth"); // as set by the user; 0 = from the width
        // NaN bounds: the window is empty, and the axis only has to stay usable.
        const double nan = qQNaN();
        QTest::newRow("below 0.2 A") << 1080 << Measurements {{0, 0.1}, {0.5, 0.199}, {1.2, 0.15}}
                                     << 500.0 << 0.0 << 5.0 << 6 << 0;
        QTest::newRow("0.35 A raises it at once")
            << 1080 << Measurements {{0, 0.1}, {0.3, 0.35}} << 650.0 << 0.0 << 5.0 << 6 << 0;
        QTest::newRow("peak stays for window + 1 s")
            << 1080 << Measurements {{0, 0.1}, {0.3, 0.35}, {3, 0.1}, {6.9, 0.1}} << 650.0 << 1.9
            << 6.9 << 6 << 0;
        QTest::newRow("drops back once the second is older")
            << 1080 << Measurements {{0, 0.1}, {0.3, 0.35}, {3, 0.1}, {7.0, 0.1}} << 500.0 << 2.0
            << 7.0 << 6 << 0;
        QTest::newRow("1000 px: 4 s")
            << 1000 << Measurements {{0, 0.1}, {10, 0.1}} << 500.0 << 6.0 << 10.0 << 5 << 0;
        // A minute across the same width: no more ticks than fit beside each other.
        QTest::newRow("1000 px: 60 s chosen")
            << 1000 << Measurements {{0, 0.1}, {70, 0.1}} << 500.0 << 10.0 << 70.0 << 5 << 60;
        QTest::newRow("279 px: empty window")
            << 279 << Measurements {{0, 0.1}, {1, 0.1}, {2.5, 0.1}} << 500.0 << nan << nan << 1
            << 0;
    }
    void windowAndAxes()
    {
        QFETCH(int, width);
        QFETCH(Measurements, measurements);
        QFETCH(double, top);
        QFETCH(double, lower);
        QFETCH(double, upper);
        QFETCH(int, secondsPerWidth);
        KestravonSingleCurrentCustomPlot plot;
        plot.resize(width, 400);
        plot.setSecondsPerWidth(secondsPerWidth);
        plot.show();
        QVERIFY(QTest::qWaitForWindowExposed(&plot));
        QTEST(timeTicker(plot)->tickCount(), "tickCount");
        for (const Measurement &m : measurements)
            feed(plot, m.first, m.second);
        // Currents arrive as floats, so 0.35 A is 349.99999 mA.
        QVERIFY2(qAbs(plot.yAxis->range().upper - top) < 1e-3,
            qPrintable(QString::number(plot.yAxis->range().upper)));
        const QCPRange range = plot.xAxis->range();
        if (qIsNaN(lower)) {
            QVERIFY(std::isfinite(range.lower) && range.upper > range.lower);
            QVERIFY(!plot.toPixmap().isNull());
        } else {
            QCOMPARE(range.lower, lower);
            QCOMPARE(range.upper, upper);
        }
    }

    void drawsTheCurrentInRed()
    {
        KestravonSingleCurrentCustomPlot plot;
        plot.resize(1280, 420);
        plot.show();
        QVERIFY(QTest::qWaitForWindowExposed(&plot));
        for (int tick = 0; tick < 100; ++tick)
            feed(plot, tick * 0.1, 0.08);
        const QImage image = plot.toPixmap().toImage();
        QVERIFY(!ImageCheck::save(image, "currentplot").isEmpty());
        QVERIFY(ImageCheck::isColorAt(image, QPointF(3, 3), QColor(0x0E, 0x14, 0x1B), 4));
        const QPointF newest(plot.xAxis->coordToPixel(9.9), plot.yAxis->coordToPixel(80));
        QVERIFY2(ImageCheck::isColorNear(image, newest, Qt::red, 3, 60),
            qPrintable(ImageCheck::describe(image, newest)));
        const QPointF empty(plot.xAxis->coordToPixel(7), plot.yAxis->coordToPixel(300));
        QVERIFY(!ImageCheck::isColorNear(image, empty, Qt::red, 10, 60));
    }

    // The curve is drawn in strips for speed; the picture must be the one a plain graph of
    // the same data draws, pixel for pixel, whatever the screen's scale.
    void curveAsAPlainGraphDrawsIt_data()
    {
        QTest::addColumn<double>("scale");
        QTest::addColumn<double>("swing");
        QTest::newRow("swinging") << 1.0 << 0.4;
        QTest::newRow("swinging at 125 %") << 1.25 << 0.4;
        QTest::newRow("steady at 200 %") << 2.0 << 0.001;
    }
    void curveAsAPlainGraphDrawsIt()
    {
        QFETCH(double, scale);
        QFETCH(double, swing);
        KestravonSingleCurrentCustomPlot plot;
        plot.resize(1411, 480);
        plot.setBufferDevicePixelRatio(scale);
        quint32 noise = 7;
        for (int tick = 0; tick < 130; ++tick) {
            noise = noise * 1103515245u + 12345u;
            feed(plot, tick * 0.1 + (noise % 7) * 0.003, 0.05 + swing * (noise >> 16) / 65536.0);
        }
        QCPGraph *curve = plot.currentGraph();
        QCPGraph *plain = plot.addGraph(plot.xAxis, plot.yAxis);
        plain->setData(curve->data());
        plain->setPen(curve->pen());
        QImage images[2];
        for (QImage &image : images) {
            curve->setVisible(&image == &images[0]);
            plain->setVisible(&image == &images[1]);
            plot.replot();
            QPixmap pixmap(plot.size() * scale);
            pixmap.setDevicePixelRatio(scale);
            pixmap.fill(Qt::transparent);
            plot.render(&pixmap);
            image = pixmap.toImage();
        }
        ImageCheck::save(images[0], QStringLiteral("currentplot-strips-%1").arg(scale * 100));
        QImage blank(images[0].size(), images[0].format());
        blank.fill(Qt::transparent);
        QVERIFY(images[0] != blank);
        QCOMPARE(images[0], images[1]);
    }
};

QTEST_MAIN(TestCurrentPlot)
#include "tst_currentplot.moc"
