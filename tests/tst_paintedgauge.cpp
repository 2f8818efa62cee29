#include "imagecheck.h"
#include "kestravonsinglecurrentcustomplot.h"
#include "numberneddlewidget.h"
#include "voltageandcurrentwidget.h"

#include <QLabel>
#include <QRegularExpression>
#include <QTranslator>
#include <QtTest>

#include <cmath>

namespace {

const QColor white(Qt::white);
const QColor black(Qt::black);
const QColor red(Qt::red);

// The dial's geometry as the widget lays it out, worked out independently of the painting.
struct Dial
{
    QRectF gauge;
    QPointF centre;
    QPointF pivot;
    double radius;
    double startAngle;
    double sweep;

    explicit Dial(const QSize &size)
    {
        gauge = QRectF(80, 80, size.width() - 160, size.height() - 100);
        if (2 * gauge.height() > gauge.width()) {
            const double height = gauge.width() / 2 - 4;
            gauge = QRectF(
                gauge.x(), gauge.y() + gauge.height() / 2 - height / 2, gauge.width(), height);
        }
        radius = gauge.width() / 2;
        centre = QPointF(gauge.x() + radius, gauge.y() + radius);
        const double theta = qRadiansToDegrees(std::asin((radius - gauge.height()) / radius));
        startAngle = 180 - theta;
        sweep = 180 - 2 * theta;
        pivot = QPointF(gauge.center().x(), gauge.bottom());
    }

    double angleOfValue(double value) const { return startAngle - sweep / 5 * value; }
    double angleOfTick(int tick) const { return startAngle - sweep / 50 * tick; }
    QPointF at(double angle, double distance) const
    {
        return ImageCheck::pointAtAngle(centre, angle, distance);
    }
};

// Stands in for a loaded .qm file: every text of the form comes back in brackets.
class BracketTranslator : public QTranslator
{
public:
    QString translate(const char *context, const char *sourceText, const char *, int) const override
    {
        if (qstrcmp(context, "VoltageAndCurrentWidget") != 0)
            return QString();
        return QLatin1Char('[') + QString::fromUtf8(sourceText) + QLatin1Char(']');
    }
    bool isEmpty() const override { return false; }
};

} // namespace

class TestPaintedGauge : public QObject
{
    Q_OBJECT

private slots:
    void calcTopScribed_data();
    void calcTopScribed();
    void drawsDial_data();
    void drawsDial();
    void tinyWidgetShowsBackground_data();
    void tinyWidgetShowsBackground();
    void readOuts_data();
    void readOuts();
    void retranslatesOnLanguageChange();
    void rendersComposite();
};

void TestPaintedGauge::calcTopScribed_data()
{
    QTest::addColumn<QRectF>("rect");
    QTest::addColumn<QPointF>("left");
    QTest::addColumn<QPointF>("right");
    QTest::addColumn<QPointF>("centre");
    QTest::addColumn<double>("leftAngle");

    QTest::newRow("half as high as wide: chord through the centre")
        << QRectF(80, 80, 800, 400) << QPointF(80, 480) << QPointF(880, 480) << QPointF(480, 480)
        << 180.0;
    const double c30 = 200 * std::sqrt(3.0) / 2;
    QTest::newRow("quarter as high: chord ends 30 degrees up")
        << QRectF(0, 0, 400, 100) << QPointF(200 - c30, 100) << QPointF(200 + c30, 100)
        << QPointF(200, 200) << 150.0;
    QTest::newRow("negative height: a point, not NaN")
        << QRectF(0, 0, 100, -10) << QPointF(50, -10) << QPointF(50, -10) << QPointF(50, 50)
        << 90.0;
}

void TestPaintedGauge::calcTopScribed()
{
    QFETCH(QRectF, rect);
    QFETCH(double, leftAngle);

    QPointF left, right, centre;
    double actualLeftAngle = -1;
    double actualRightAngle = -1;
    QTest::ignoreMessage(QtDebugMsg, QRegularExpression(QStringLiteral("^calcTopScribed ")));
    const QRectF square = NumberNeddleWidget::calcTopScribed(
        rect, left, actualLeftAngle, right, actualRightAngle, centre);

    QCOMPARE(square, QRectF(rect.topLeft(), QSizeF(rect.width(), rect.width())));
    QTEST(left, "left");
    QTEST(right, "right");
    QTEST(centre, "centre");
    QVERIFY2(
        qAbs(actualLeftAngle - leftAngle) < 1e-6, qPrintable(QString::number(actualLeftAngle)));
    QVERIFY2(qAbs(actualRightAngle - (180 - leftAngle)) < 1e-6,
        qPrintable(QString::number(actualRightAngle)));
}

void TestPaintedGauge::drawsDial_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<double>("value");

    QTest::newRow("page size, 2.5") << QSize(1260, 380) << 2.5;
    QTest::newRow("gauge squeezed to half its width, 1.6") << QSize(1000, 700) << 1.6;
}

void TestPaintedGauge::drawsDial()
{
    QFETCH(QSize, size);
    QFETCH(double, value);

    NumberNeddleWidget gauge;
    gauge.resize(size);
    gauge.onValueChanged(value);
    QTest::ignoreMessage(QtDebugMsg, QRegularExpression(QStringLiteral("^paintEvent ")));
    const QImage image = ImageCheck::grab(&gauge);
    ImageCheck::save(
        image, QStringLiteral("paintedgauge_%1x%2").arg(size.width()).arg(size.height()));

    const Dial dial(size);
    const QPointF tip = dial.at(dial.angleOfValue(value), dial.radius);
    const QList<QPair<QPointF, QColor>> probes
        = {{dial.pivot, black}, {dial.pivot + QPointF(0, 12), black},
            {dial.at(dial.angleOfTick(39), dial.radius + 9), black},
            {dial.at(dial.angleOfTick(40), dial.radius + 20), red}};
    for (const auto &probe : probes)
        QVERIFY2(ImageCheck::isColorAt(image, probe.first, probe.second, 30),
            qPrintable(ImageCheck::describe(image, probe.first)));
    QVERIFY2(ImageCheck::isLineDrawn(image, dial.pivot, tip, red, 10, 0.1),
        qPrintable(ImageCheck::describe(image, tip)));
    QVERIFY2(
        ImageCheck::isColorNear(image, tip, red, 2), qPrintable(ImageCheck::describe(image, tip)));
}

void TestPaintedGauge::tinyWidgetShowsBackground_data()
{
    QTest::addColumn<QSize>("size");

    QTest::newRow("one pixel") << QSize(1, 1);
    QTest::newRow("gauge narrower than 8 px") << QSize(165, 300);
}

void TestPaintedGauge::tinyWidgetShowsBackground()
{
    QFETCH(QSize, size);

    NumberNeddleWidget gauge;
    gauge.resize(size);
    const QImage image = ImageCheck::grab(&gauge);
    QCOMPARE(ImageCheck::countColor(image, white, 0), size.width() * size.height());
}

void TestPaintedGauge::readOuts_data()
{
    QTest::addColumn<float>("voltage");
    QTest::addColumn<float>("current");
    QTest::addColumn<QString>("voltageText");
    QTest::addColumn<QString>("currentText");

    QTest::newRow("cut to 5 characters") << 1.23456f << 1.23456f << "1.234"
                                         << "1.234";
    QTest::newRow("exponent form") << 0.0f << 0.00001f << "0"
                                   << "1e-05";
    QTest::newRow("large voltage") << 123456.7f << 3.2f << "12345"
                                   << "3.2";
}

void TestPaintedGauge::readOuts()
{
    QFETCH(float, voltage);
    QFETCH(float, current);

    VoltageAndCurrentWidget widget;
    auto *plot = widget.findChild<KestravonSingleCurrentCustomPlot *>();
    emit widget.parameterChanged(voltage, current);

    QTEST(widget.findChild<QLabel *>(QStringLiteral("lblVotage"))->text(), "voltageText");
    QTEST(widget.findChild<QLabel *>(QStringLiteral("lblCurrent"))->text(), "currentText");
    QCOMPARE(widget.findChild<NumberNeddleWidget *>()->value(), static_cast<double>(current));
    QCOMPARE(plot->currentGraph()->dataCount(), 1);
    QCOMPARE(plot->currentGraph()->data()->at(0)->value, 1000.0 * current);
}

void TestPaintedGauge::retranslatesOnLanguageChange()
{
    VoltageAndCurrentWidget widget;
    widget.show();
    auto *unit = widget.findChild<QLabel *>(QStringLiteral("label_3"));

    BracketTranslator translator;
    QVERIFY(QCoreApplication::installTranslator(&translator));
    QTRY_COMPARE(unit->text(), QStringLiteral("[V]"));

    QCoreApplication::removeTranslator(&translator);
    QTRY_COMPARE(unit->text(), QStringLiteral("V"));
}

void TestPaintedGauge::rendersComposite()
{
    VoltageAndCurrentWidget widget;
    widget.show();
    QVERIFY(QTest::qWaitForWindowExposed(&widget));
    QTime now(9, 30);
    widget.findChild<KestravonSingleCurrentCustomPlot *>()->setClock([&now] { return now; });
    for (int tick = 0; tick < 80; ++tick) {
        now = now.addMSecs(100);
        emit widget.parameterChanged(
            4.98f + 0.01f * (tick % 3), 1.2f + 0.6f * static_cast<float>(std::sin(tick / 6.0)));
    }
    const QImage image = ImageCheck::grab(&widget);
    ImageCheck::save(image, QStringLiteral("voltageandcurrentwidget"));

    // The gauge's red read-out, in the box it paints at its top right.
    const QPoint readOut
        = widget.findChild<NumberNeddleWidget *>()->mapTo(&widget, QPoint(1010, 50));
    QVERIFY(ImageCheck::countColorIn(image, QRect(readOut, QSize(170, 70)), red, 30) > 100);
}

QTEST_MAIN(TestPaintedGauge)
#include "tst_paintedgauge.moc"
