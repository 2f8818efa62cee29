// SPDX-License-Identifier: GPL-3.0-or-later
#include "currentdevicelinewidget.h"
#include "imagecheck.h"
#include "kestravonsinglecurrentcustomplot.h"

#include <QPushButton>
#include <QtTest>

#include <cmath>

namespace {

using Measurement = QPair<double, double>; // seconds since the first measurement, amperes
using Measurements = QVector<Measurement>;

// Feeds a plot a measurement at a chosen instant of its clock.
void feed(KestravonSingleCurrentCustomPlot &plot, double seconds, double current)
{
    const qint64 now = 5000 + std::llround(seconds * 1000);
    plot.setClock([now] { return now; });
    plot.onVoltageAndCurrentChanged(5.0f, float(current));
}

void wheel(QWidget *widget, const QPointF &at, int degrees)
{
    QWheelEvent event(at, widget->mapToGlobal(at.toPoint()), QPoint(), QPoint(0, degrees * 8),
        Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(widget, &event);
}

void drag(QWidget *widget, const QPointF &from, const QPointF &to)
{
    QTest::mousePress(widget, Qt::LeftButton, Qt::NoModifier, from.toPoint());
    QMouseEvent move(QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
    QTest::mouseRelease(widget, Qt::LeftButton, Qt::NoModifier, to.toPoint());
}

// Counts what a widget paints of a rectangle of its own.
class PaintWatch : public QObject
{
public:
    PaintWatch(QWidget *watched, const QRect &rect)
        : m_rect(rect)
    {
        watched->installEventFilter(this);
    }
    int paints = 0;
    int paintsOfRect = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            ++paints;
            paintsOfRect += static_cast<QPaintEvent *>(event)->region().intersects(m_rect);
        }
        return false;
    }

private:
    QRect m_rect;
};

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

    // The clock only counts up: a run of a day and more keeps its newest point at the right
    // edge instead of drawing over its first day, and the labels count the hours on.
    void runsForDays_data()
    {
        QTest::addColumn<double>("hours");
        QTest::addColumn<QString>("label");
        QTest::newRow("25 hours") << 25.0 << QStringLiteral("25:00:0");
        QTest::newRow("a week") << 168.0 << QStringLiteral("168:00:0");
    }
    void runsForDays()
    {
        QFETCH(double, hours);
        QFETCH(QString, label);
        KestravonSingleCurrentCustomPlot plot;
        plot.resize(1280, 420);
        plot.show();
        QVERIFY(QTest::qWaitForWindowExposed(&plot));
        const double end = hours * 3600;
        for (double s = 0; s < end - 10; s += 1800)
            feed(plot, s, 0.5);
        for (int tick = 0; tick <= 100; ++tick)
            feed(plot, end - 10 + tick * 0.1, 0.08);
        QCOMPARE(plot.xAxis->range().upper, end);
        const QImage image = plot.toPixmap().toImage();
        ImageCheck::save(image, QStringLiteral("currentplot-%1h").arg(hours));
        const QPointF newest(plot.xAxis->coordToPixel(end - 0.5), plot.yAxis->coordToPixel(80));
        QVERIFY2(ImageCheck::isColorNear(image, newest, Qt::red, 3, 60),
            qPrintable(ImageCheck::describe(image, newest)));
        // The first day's half-ampere points lie outside the window, not in its middle.
        QCOMPARE(ImageCheck::countColorIn(image,
                     QRect(0, 0, image.width(), int(plot.yAxis->coordToPixel(400))), Qt::red, 60),
            0);
        bool labelled = false;
        for (const QString &tick : plot.xAxis->tickVectorLabels())
            labelled = labelled || tick.startsWith(label);
        QVERIFY(labelled);
    }

    // Scrolling back pauses the following and says so; new measurements then leave the view
    // where the user put it, until a double click or the paused control follows again.
    void scrollBackPausesFollowing_data()
    {
        QTest::addColumn<QString>("pause");
        QTest::addColumn<QString>("resume");
        QTest::newRow("wheel, double click") << "wheel"
                                             << "double click";
        QTest::newRow("drag, follow control") << "drag"
                                              << "control";
    }
    void scrollBackPausesFollowing()
    {
        QFETCH(QString, pause);
        QFETCH(QString, resume);
        KestravonSingleCurrentCustomPlot plot;
        plot.resize(1280, 420);
        plot.show();
        QVERIFY(QTest::qWaitForWindowExposed(&plot));
        for (int tick = 0; tick < 600; ++tick)
            feed(plot, tick * 0.1, tick == 300 ? 0.9 : 0.08);
        auto *follow = plot.findChild<QPushButton *>(QStringLiteral("btnFollow"));
        QVERIFY(follow && !follow->isVisible());
        const QPointF middle = plot.axisRect()->rect().center();
        if (pause == "wheel")
            wheel(&plot, middle, 120);
        else
            drag(&plot, middle, middle + QPointF(400, 0));
        QVERIFY(!plot.isFollowing());
        QVERIFY(follow->isVisible());
        const QCPRange held = plot.xAxis->range();
        QVERIFY(held.upper < 59.8);
        feed(plot, 60, 0.08);
        QCOMPARE(plot.xAxis->range(), held);
        QCOMPARE(plot.history()->size(), 601);
        ImageCheck::save(ImageCheck::grab(&plot), "currentplot-paused-" + pause);

        if (resume == "control")
            QTest::mouseClick(follow, Qt::LeftButton);
        else
            QTest::mouseDClick(&plot, Qt::LeftButton, Qt::NoModifier, middle.toPoint());
        QVERIFY(plot.isFollowing());
        QVERIFY(!follow->isVisible());
        QCOMPARE(plot.xAxis->range().upper, 60.0);
        QCOMPARE(plot.yAxis->range().upper, 500.0);
    }

    // Drawn from a shared history that keeps only its horizon at full resolution, the curve
    // still shows an old peak when scrolled back, breaks at a gap, and holds only a screenful.
    void scrolledBackOverTheSummary()
    {
        MeasurementHistory history(4096);
        KestravonSingleCurrentCustomPlot plot;
        plot.setHistory(&history);
        plot.resize(1280, 420);
        plot.show();
        QVERIFY(QTest::qWaitForWindowExposed(&plot));
        // The meter away from 2000 s to 2003 s.
        for (int tick = 0; tick < 30000; ++tick) {
            const double seconds = tick * 0.1 + (tick >= 20000 ? 3 : 0);
            if (tick == 20000)
                history.append(MeasurementHistory::Sample::gap(2000));
            const float current = tick == 1234 ? 0.9f : 0.08f;
            history.append({seconds, 5.0f, current, 5.0f * current});
            if (tick == 0 || tick > 29990)
                plot.onVoltageAndCurrentChanged(5.0f, current);
        }
        QVERIFY(history.firstSeconds() > 2000);
        QVERIFY(plot.currentGraph()->dataCount() < 200);
        plot.setFollowing(false);
        plot.xAxis->setRange(0, 3000);
        plot.yAxis->setRange(0, 1000);
        plot.replot();
        QVERIFY(plot.currentGraph()->dataCount() <= 3 * plot.axisRect()->width());
        const QImage image = plot.toPixmap().toImage();
        ImageCheck::save(image, "currentplot-summary");
        const QPointF peak(plot.xAxis->coordToPixel(123.4), plot.yAxis->coordToPixel(880));
        QVERIFY2(ImageCheck::isColorNear(image, peak, Qt::red, 3, 60),
            qPrintable(ImageCheck::describe(image, peak)));
        plot.xAxis->setRange(1990, 2010);
        plot.replot();
        const QImage zoomed = plot.toPixmap().toImage();
        const int y = int(plot.yAxis->coordToPixel(80));
        QVERIFY(ImageCheck::isColorNear(
            zoomed, QPointF(plot.xAxis->coordToPixel(1999), y), Qt::red, 2, 60));
        QVERIFY(!ImageCheck::isColorNear(
            zoomed, QPointF(plot.xAxis->coordToPixel(2001.5), y), Qt::red, 2, 60));
    }

    // In red, and from the first measurement on as a smoothed line two pixels wide.
    void drawsTheCurrentInRed()
    {
        KestravonSingleCurrentCustomPlot plot;
        plot.resize(1280, 420);
        plot.show();
        QVERIFY(QTest::qWaitForWindowExposed(&plot));
        for (int tick = 0; tick < 100; ++tick) {
            feed(plot, tick * 0.1, 0.08);
            if (tick == 20) {
                plot.replot();
                QCOMPARE(plot.QCustomPlot::graph(0)->pen().width(), 2);
                QVERIFY(plot.QCustomPlot::graph(0)->antialiased());
            }
        }
        const QImage image = plot.toPixmap().toImage();
        QVERIFY(!ImageCheck::save(image, "currentplot").isEmpty());
        QVERIFY(ImageCheck::isColorAt(image, QPointF(3, 3), QColor(0x0E, 0x14, 0x1B), 4));
        const QPointF newest(plot.xAxis->coordToPixel(9.9), plot.yAxis->coordToPixel(80));
        QVERIFY2(ImageCheck::isColorNear(image, newest, Qt::red, 3, 60),
            qPrintable(ImageCheck::describe(image, newest)));
        const QPointF empty(plot.xAxis->coordToPixel(7), plot.yAxis->coordToPixel(300));
        QVERIFY(!ImageCheck::isColorNear(image, empty, Qt::red, 10, 60));
    }

    // A measurement repaints the plot alone, not the styled box under it, and the plot paints
    // all of itself in its own background.
    void measurementRepaintsOnlyThePlot()
    {
        CurrentDeviceLineWidget page;
        page.resize(1280, 600);
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        auto *plot = page.findChild<KestravonSingleCurrentCustomPlot *>();
        PaintWatch underPlot(plot->parentWidget(), plot->geometry());
        PaintWatch ofPlot(plot, plot->rect());
        for (int tick = 0; tick < 5; ++tick) {
            page.onParameterChanged(5.0f, 0.08f + 0.01f * tick, 0.4f);
            QTRY_COMPARE(ofPlot.paints, tick + 1);
        }
        QCOMPARE(underPlot.paintsOfRect, 0);
        const QImage image = ImageCheck::grab(plot);
        QVERIFY2(ImageCheck::isColorAt(image, QPointF(3, 3), QColor(0x0E, 0x14, 0x1B), 4),
            qPrintable(ImageCheck::describe(image, QPointF(3, 3))));
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
