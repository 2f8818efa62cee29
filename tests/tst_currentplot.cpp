#include "imagecheck.h"
#include "kestravonsinglecurrentcustomplot.h"

#include <QRegularExpression>
#include <QtTest>

#include <cmath>

namespace {

using Measurement = QPair<double, double>; // seconds since the first measurement, amperes
using Measurements = QVector<Measurement>;

// Drives a plot with measurements at chosen instants instead of the wall clock.
class PlotFeeder
{
public:
    explicit PlotFeeder(KestravonSingleCurrentCustomPlot *plot, QTime start = QTime(8, 0))
        : m_plot(plot)
        , m_start(start)
    {
        m_plot->setClock([this] { return m_now; });
    }

    void feed(double seconds, double current, double voltage = 5.0)
    {
        m_now = m_start.addMSecs(static_cast<int>(std::lround(seconds * 1000)));
        m_plot->onVoltageAndCurrentChanged(
            static_cast<float>(voltage), static_cast<float>(current));
    }

private:
    KestravonSingleCurrentCustomPlot *m_plot;
    QTime m_start;
    QTime m_now;
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
    void valueRange_data();
    void valueRange();
    void timeAxis_data();
    void timeAxis();
    void hourFormatOnlyPastAnHour();
    void everyMeasurementAddsOnePointWhateverTheVoltage();
    void drawsTheCurrentInRed();
};

void TestCurrentPlot::valueRange_data()
{
    QTest::addColumn<Measurements>("measurements");
    QTest::addColumn<double>("top");

    QTest::newRow("below 0.2 A") << Measurements {{0, 0.1}, {0.5, 0.199}, {1.2, 0.15}} << 500.0;
    QTest::newRow("0.35 A raises it at once") << Measurements {{0, 0.1}, {0.3, 0.35}} << 650.0;
    QTest::newRow("peak stays for window + 1 s")
        << Measurements {{0, 0.1}, {0.3, 0.35}, {3, 0.1}, {6.9, 0.1}} << 650.0;
    QTest::newRow("drops back once the second is older")
        << Measurements {{0, 0.1}, {0.3, 0.35}, {3, 0.1}, {7.0, 0.1}} << 500.0;
    QTest::newRow("spike then lower value in the same second")
        << Measurements {{0, 0.1}, {1.1, 0.9}, {1.5, 0.1}} << 500.0;
}

void TestCurrentPlot::valueRange()
{
    QFETCH(Measurements, measurements);
    QFETCH(double, top);

    KestravonSingleCurrentCustomPlot plot;
    PlotFeeder feeder(&plot);
    for (const Measurement &m : measurements)
        feeder.feed(m.first, m.second);
    // Currents arrive as floats, so 0.35 A is 349.99999 mA.
    QVERIFY2(qAbs(plot.yAxis->range().upper - top) < 1e-3,
        qPrintable(QString::number(plot.yAxis->range().upper)));
}

void TestCurrentPlot::timeAxis_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<QVector<double>>("instants");
    QTest::addColumn<int>("tickCount");
    QTest::addColumn<double>("lower");
    QTest::addColumn<double>("upper");

    // NaN bounds: the window is empty, and the axis only has to stay usable.
    QTest::newRow("5 s window fills from 0")
        << 1080 << QVector<double> {0, 0.5, 3} << 6 << 0.0 << 5.0;
    QTest::newRow("5 s window slides at 7.2 s")
        << 1080 << QVector<double> {0, 0.5, 3, 7.2} << 6 << 2.2 << 7.2;
    QTest::newRow("1000 px: 4 s") << 1000 << QVector<double> {0, 10} << 5 << 6.0 << 10.0;
    QTest::newRow("1600 px: 7 s") << 1600 << QVector<double> {0, 10} << 8 << 3.0 << 10.0;
    QTest::newRow("279 px: empty window")
        << 279 << QVector<double> {0, 1, 2.5} << 1 << qQNaN() << qQNaN();
}

void TestCurrentPlot::timeAxis()
{
    QFETCH(int, width);
    QFETCH(QVector<double>, instants);
    QFETCH(double, lower);
    QFETCH(double, upper);

    KestravonSingleCurrentCustomPlot plot;
    QTest::ignoreMessage(
        QtDebugMsg, QRegularExpression(QStringLiteral("^resizeEvent QSize\\(%1, ").arg(width)));
    plot.resize(width, 400);
    plot.show();
    QVERIFY(QTest::qWaitForWindowExposed(&plot));
    QTEST(timeTicker(plot)->tickCount(), "tickCount");

    PlotFeeder feeder(&plot);
    for (double instant : instants)
        feeder.feed(instant, 0.1);
    const QCPRange range = plot.xAxis->range();
    if (qIsNaN(lower)) {
        QVERIFY(std::isfinite(range.lower) && range.upper > range.lower);
        QVERIFY(!plot.toPixmap().isNull());
    } else {
        QCOMPARE(range.lower, lower);
        QCOMPARE(range.upper, upper);
    }
}

void TestCurrentPlot::hourFormatOnlyPastAnHour()
{
    KestravonSingleCurrentCustomPlot plot;
    PlotFeeder feeder(&plot);
    feeder.feed(0, 0.1);
    feeder.feed(3600, 0.1);
    QCOMPARE(timeTicker(plot)->timeFormat(), QStringLiteral("%m:%s"));
    feeder.feed(3600.1, 0.1);
    QCOMPARE(timeTicker(plot)->timeFormat(), QStringLiteral("%h:%m:%s"));
}

// The run crosses midnight, which must not send the points back a day.
void TestCurrentPlot::everyMeasurementAddsOnePointWhateverTheVoltage()
{
    KestravonSingleCurrentCustomPlot low;
    KestravonSingleCurrentCustomPlot high;
    PlotFeeder lowFeeder(&low, QTime(23, 59, 55));
    PlotFeeder highFeeder(&high, QTime(23, 59, 55));
    const QVector<double> currents {0.0, 0.25, 0.25, 1.5, -0.1, 0.4};
    for (int i = 0; i < currents.size(); ++i) {
        lowFeeder.feed(i * 2.5, currents.at(i), 0.0);
        highFeeder.feed(i * 2.5, currents.at(i), 24.0);
        for (const KestravonSingleCurrentCustomPlot *plot : {&low, &high}) {
            QCOMPARE(plot->currentGraph()->dataCount(), i + 1);
            QCOMPARE(plot->currentGraph()->data()->at(i)->key, i * 2.5);
            QCOMPARE(plot->currentGraph()->data()->at(i)->value,
                1000.0 * static_cast<float>(currents.at(i)));
        }
    }
    QCOMPARE(low.xAxis->range(), high.xAxis->range());
    QCOMPARE(low.yAxis->range(), high.yAxis->range());
}

void TestCurrentPlot::drawsTheCurrentInRed()
{
    KestravonSingleCurrentCustomPlot plot;
    plot.resize(1280, 420);
    plot.show();
    QVERIFY(QTest::qWaitForWindowExposed(&plot));
    PlotFeeder feeder(&plot);
    for (int tick = 0; tick < 100; ++tick)
        feeder.feed(tick * 0.1, 0.08);

    const QImage image = plot.toPixmap().toImage();
    QVERIFY(!ImageCheck::save(image, QStringLiteral("currentplot")).isEmpty());
    const QColor background(0x0E, 0x14, 0x1B);
    QVERIFY2(ImageCheck::isColorAt(image, QPointF(3, 3), background, 4),
        qPrintable(ImageCheck::describe(image, QPointF(3, 3))));
    const QPointF newest(plot.xAxis->coordToPixel(9.9), plot.yAxis->coordToPixel(80));
    QVERIFY2(ImageCheck::isColorNear(image, newest, Qt::red, 3, 60),
        qPrintable(ImageCheck::describe(image, newest)));
    const QPointF empty(plot.xAxis->coordToPixel(7), plot.yAxis->coordToPixel(300));
    QVERIFY(!ImageCheck::isColorNear(image, empty, Qt::red, 10, 60));
}

QTEST_MAIN(TestCurrentPlot)
#include "tst_currentplot.moc"
