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

    void feed(const Measurements &measurements)
    {
        for (const Measurement &m : measurements)
            feed(m.first, m.second);
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

// Shows the plot at the given width so that it goes through its resize handling.
void showAtWidth(KestravonSingleCurrentCustomPlot &plot, int width)
{
    plot.resize(width, 400);
    plot.show();
    QVERIFY(QTest::qWaitForWindowExposed(&plot));
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
    void elapsedTime_data();
    void elapsedTime();
    void hourFormat_data();
    void hourFormat();
    void everyMeasurementAddsOnePointWhateverTheVoltage();
    void rendersAMinuteOfData();
};

void TestCurrentPlot::valueRange_data()
{
    QTest::addColumn<Measurements>("measurements");
    QTest::addColumn<double>("top");

    QTest::newRow("no measurement yet") << Measurements {} << 500.0;
    QTest::newRow("below 0.2 A") << Measurements {{0, 0.1}, {0.5, 0.199}, {1.2, 0.15}} << 500.0;
    QTest::newRow("0.35 A raises it at once") << Measurements {{0, 0.1}, {0.3, 0.35}} << 650.0;
    QTest::newRow("peak stays for window + 1 s")
        << Measurements {{0, 0.1}, {0.3, 0.35}, {3, 0.1}, {6.9, 0.1}} << 650.0;
    QTest::newRow("drops back once the second is older")
        << Measurements {{0, 0.1}, {0.3, 0.35}, {3, 0.1}, {7.0, 0.1}} << 500.0;
    QTest::newRow("spike then lower value in the same second")
        << Measurements {{0, 0.1}, {1.1, 0.9}, {1.5, 0.1}} << 500.0;
    QTest::newRow("spike as the last value of its second")
        << Measurements {{0, 0.1}, {1.1, 0.1}, {1.5, 0.9}, {2.2, 0.1}} << 1200.0;
    QTest::newRow("highest of several seconds")
        << Measurements {{0, 1.2}, {1, 2.5}, {2, 0.8}, {3, 0.0}} << 2800.0;
    QTest::newRow("negative current") << Measurements {{0, -0.5}, {0.1, -2.0}} << 500.0;
}

void TestCurrentPlot::valueRange()
{
    QFETCH(Measurements, measurements);
    QFETCH(double, top);

    KestravonSingleCurrentCustomPlot plot;
    PlotFeeder(&plot).feed(measurements);
    QCOMPARE(plot.yAxis->range().lower, 0.0);
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

    QTest::newRow("5 s window, 0.5 s") << 1080 << QVector<double> {0, 0.5} << 6 << 0.0 << 5.0;
    QTest::newRow("5 s window, 3 s") << 1080 << QVector<double> {0, 0.5, 3} << 6 << 0.0 << 5.0;
    QTest::newRow("5 s window, exactly 5 s") << 1080 << QVector<double> {0, 5} << 6 << 0.0 << 5.0;
    QTest::newRow("5 s window slides at 7.2 s")
        << 1080 << QVector<double> {0, 0.5, 3, 7.2} << 6 << 2.2 << 7.2;
    QTest::newRow("1000 px: 4 s") << 1000 << QVector<double> {0, 10} << 5 << 6.0 << 10.0;
    QTest::newRow("1600 px: 7 s, filling") << 1600 << QVector<double> {0, 6.5} << 8 << 0.0 << 7.0;
    QTest::newRow("1600 px: 7 s, sliding") << 1600 << QVector<double> {0, 10} << 8 << 3.0 << 10.0;
    QTest::newRow("280 px: 1 s") << 280 << QVector<double> {0, 3} << 2 << 2.0 << 3.0;
}

void TestCurrentPlot::timeAxis()
{
    QFETCH(int, width);
    QFETCH(QVector<double>, instants);
    QFETCH(int, tickCount);
    QFETCH(double, lower);
    QFETCH(double, upper);

    KestravonSingleCurrentCustomPlot plot;
    QTest::ignoreMessage(
        QtDebugMsg, QRegularExpression(QStringLiteral("^resizeEvent QSize\\(%1, ").arg(width)));
    showAtWidth(plot, width);
    QCOMPARE(timeTicker(plot)->tickCount(), tickCount);

    PlotFeeder feeder(&plot);
    for (double instant : instants)
        feeder.feed(instant, 0.1);
    QCOMPARE(plot.xAxis->range().lower, lower);
    QCOMPARE(plot.xAxis->range().upper, upper);
}

// Below 280 px the window is empty; the plot must keep working with a sane axis.
void TestCurrentPlot::elapsedTime_data()
{
    QTest::addColumn<QTime>("start");
    QTest::addColumn<QVector<double>>("instants");
    QTest::addColumn<int>("width");

    QTest::newRow("tenths of a second")
        << QTime(8, 0) << QVector<double> {0, 0.1, 0.2, 0.3} << 1080;
    QTest::newRow("across midnight") << QTime(23, 59, 58) << QVector<double> {0, 1.5, 3.25} << 1080;
    QTest::newRow("279 px: empty window") << QTime(8, 0) << QVector<double> {0, 1, 2.5} << 279;
}

void TestCurrentPlot::elapsedTime()
{
    QFETCH(QTime, start);
    QFETCH(QVector<double>, instants);
    QFETCH(int, width);

    KestravonSingleCurrentCustomPlot plot;
    showAtWidth(plot, width);
    PlotFeeder feeder(&plot, start);
    for (double instant : instants)
        feeder.feed(instant, 0.2);

    const QSharedPointer<QCPGraphDataContainer> data = plot.currentGraph()->data();
    QCOMPARE(data->size(), instants.size());
    for (int i = 0; i < instants.size(); ++i)
        QCOMPARE(data->at(i)->key, instants.at(i));
    const QCPRange range = plot.xAxis->range();
    QVERIFY(std::isfinite(range.lower) && std::isfinite(range.upper));
    QVERIFY(range.upper > range.lower);
    QVERIFY(!plot.toPixmap().isNull());
}

void TestCurrentPlot::hourFormat_data()
{
    QTest::addColumn<QVector<double>>("instants");
    QTest::addColumn<QString>("format");

    QTest::newRow("just under an hour") << QVector<double> {0, 3599.9} << "%m:%s";
    QTest::newRow("exactly an hour") << QVector<double> {0, 3600} << "%m:%s";
    QTest::newRow("past an hour") << QVector<double> {0, 3600.1} << "%h:%m:%s";
    QTest::newRow("long past an hour") << QVector<double> {0, 1800, 3601, 7200} << "%h:%m:%s";
}

void TestCurrentPlot::hourFormat()
{
    QFETCH(QVector<double>, instants);
    QFETCH(QString, format);

    KestravonSingleCurrentCustomPlot plot;
    PlotFeeder feeder(&plot);
    for (double instant : instants)
        feeder.feed(instant, 0.1);
    QCOMPARE(timeTicker(plot)->timeFormat(), format);
    QCOMPARE(plot.xAxis->range().upper, instants.last());
    QCOMPARE(plot.xAxis->range().lower, instants.last() - 5);
}

void TestCurrentPlot::everyMeasurementAddsOnePointWhateverTheVoltage()
{
    KestravonSingleCurrentCustomPlot low;
    KestravonSingleCurrentCustomPlot high;
    PlotFeeder lowFeeder(&low);
    PlotFeeder highFeeder(&high);
    const QVector<double> currents {0.0, 0.25, 0.25, 1.5, -0.1, 0.4};
    for (int i = 0; i < currents.size(); ++i) {
        lowFeeder.feed(i * 2.5, currents.at(i), 0.0);
        highFeeder.feed(i * 2.5, currents.at(i), 24.0);
        for (const KestravonSingleCurrentCustomPlot *plot : {&low, &high}) {
            QCOMPARE(plot->currentGraph()->dataCount(), i + 1);
            QCOMPARE(plot->currentGraph()->data()->at(i)->value,
                1000.0 * static_cast<float>(currents.at(i)));
        }
    }
    QCOMPARE(low.xAxis->range(), high.xAxis->range());
    QCOMPARE(low.yAxis->range(), high.yAxis->range());
}

void TestCurrentPlot::rendersAMinuteOfData()
{
    KestravonSingleCurrentCustomPlot plot;
    showAtWidth(plot, 1280);
    plot.resize(1280, 420);
    PlotFeeder feeder(&plot);
    // A board idling at about 80 mA that wakes its radio every 10 s for half a second.
    for (int tick = 0; tick < 600; ++tick) {
        const double t = tick * 0.1;
        const double ripple = 0.006 * std::sin(tick * 1.7) + 0.004 * std::sin(tick * 0.31);
        const bool radioOn = std::fmod(t, 10.0) >= 4.0 && std::fmod(t, 10.0) < 4.5;
        feeder.feed(t, (radioOn ? 0.42 : 0.08) + ripple);
    }
    QCOMPARE(plot.currentGraph()->dataCount(), 600);
    QCOMPARE(plot.xAxis->range().upper, 59.9);
    QCOMPARE(plot.xAxis->range().lower, 59.9 - 6);
    QCOMPARE(plot.yAxis->range().upper, 500.0);

    const QImage image = plot.toPixmap().toImage();
    QVERIFY(!ImageCheck::save(image, QStringLiteral("currentplot_minute")).isEmpty());

    const QColor background(0x0E, 0x14, 0x1B);
    QVERIFY2(ImageCheck::isColorAt(image, QPointF(3, 3), background, 4),
        qPrintable(ImageCheck::describe(image, QPointF(3, 3))));
    const QPointF newest(plot.xAxis->coordToPixel(59.9),
        plot.yAxis->coordToPixel(plot.currentGraph()->data()->at(599)->value));
    QVERIFY2(ImageCheck::isColorNear(image, newest, Qt::red, 3, 60),
        qPrintable(ImageCheck::describe(image, newest)));
    const QPointF burst(plot.xAxis->coordToPixel(54.2), plot.yAxis->coordToPixel(420));
    QVERIFY2(ImageCheck::isColorNear(image, burst, Qt::red, 6, 60),
        qPrintable(ImageCheck::describe(image, burst)));
    const QPointF empty(plot.xAxis->coordToPixel(57), plot.yAxis->coordToPixel(300));
    QVERIFY(!ImageCheck::isColorNear(image, empty, Qt::red, 10, 60));
}

QTEST_MAIN(TestCurrentPlot)
#include "tst_currentplot.moc"
