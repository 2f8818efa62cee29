// SPDX-License-Identifier: GPL-3.0-or-later
#include "comparepage.h"
#include "imagecheck.h"
#include "playbackpage.h"
#include "recordingfile.h"
#include "runview.h"

#include <QLabel>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QByteArray header = "time,elapsed_s,voltage_V,current_A,power_W,charge_mAh,energy_mWh\n";

QByteArray csvRow(double seconds, double current)
{
    return QStringLiteral("2026-12-06T21:00:%1.000+01:00,%2,5.0,%3,%4,0,0\n")
        .arg(int(seconds) % 60, 2, 10, QLatin1Char('0'))
        .arg(seconds)
        .arg(current)
        .arg(5 * current)
        .toUtf8();
}

// Measurements at 0..4 s of 0.1, 0.2, 0.3, 0.2, 0.1 A at 5 V.
QByteArray handRun()
{
    QByteArray text = header;
    const double currents[] = {0.1, 0.2, 0.3, 0.2, 0.1};
    for (int i = 0; i < 5; ++i)
        text += csvRow(i, currents[i]);
    return text;
}

// A run swinging around `current`, as the recording's writer writes it.
QString writeRun(const QString &path, int rows, double current)
{
    return writeRecording(
        path, rows, [current](int i) { return current * (1 + 0.5 * std::sin(i / 7.0)); });
}

QString writeFile(const QTemporaryDir &dir, const QString &name, const QByteArray &content)
{
    QFile file(dir.filePath(name));
    file.open(QIODevice::WriteOnly);
    file.write(content);
    return file.fileName();
}

QPoint pixelOf(RunView *view, double seconds)
{
    return QPoint(int(view->xAxis->coordToPixel(seconds)), view->height() / 2);
}

void shiftDrag(RunView *view, double from, double to)
{
    QTest::mousePress(view, Qt::LeftButton, Qt::ShiftModifier, pixelOf(view, from));
    QMouseEvent move(
        QEvent::MouseMove, pixelOf(view, to), Qt::NoButton, Qt::LeftButton, Qt::ShiftModifier);
    QApplication::sendEvent(view, &move);
    QTest::mouseRelease(view, Qt::LeftButton, Qt::ShiftModifier, pixelOf(view, to));
}

} // namespace

class TestPlayback : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    // What a file holds decides what the page shows: the rows of a recording, a note for a
    // torn last row, or the first line that is not a measurement.
    void readsRecordings_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("opens");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("badLine");
        QTest::addColumn<bool>("torn");
        const QByteArray good = handRun();
        QTest::newRow("good CSV") << good << true << 5 << 0 << false;
        QTest::newRow("JSON lines")
            << QByteArray("{\"time\":\"2026-12-06T21:00:00.000+01:00\",\"elapsed_s\":0,"
                          "\"voltage_V\":5,\"current_A\":0.1,\"power_W\":0.5}\n"
                          "{\"time\":\"2026-12-06T21:00:00.100+01:00\",\"elapsed_s\":0.1,"
                          "\"voltage_V\":5,\"current_A\":0.2,\"power_W\":1}\n")
            << true << 2 << 0 << false;
        QTest::newRow("torn last row")
            << good + "2026-12-06T21:00:05.000+01:00,5,5.0,0." << true << 5 << 0 << true;
        QTest::newRow("foreign CSV")
            << QByteArray("name,age\nAda,36\n") << false << 0 << 1 << false;
        QTest::newRow("empty") << QByteArray() << false << 0 << 0 << false;
        QTest::newRow("header only") << header << false << 0 << 0 << false;
        QTest::newRow("non-numeric cell")
            << good + "2026-12-06T21:00:05.000+01:00,5,five,0.1,0.5,0,0\n" + csvRow(6, 0.1) << false
            << 0 << 7 << false;
        QTest::newRow("impossible number")
            << header + csvRow(0, 0.1) + "2026-12-06T21:00:01.000+01:00,nan,5,0.1,0.5,0,0\n"
            << false << 0 << 3 << false;
        QTest::newRow("huge line") << header + QByteArray(1 << 22, '7') + "\n" + csvRow(0, 0.1)
                                   << false << 0 << 2 << false;
    }
    void readsRecordings()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, opens);
        QFETCH(int, badLine);
        const QString path
            = writeFile(m_dir, QTest::currentDataTag() + QStringLiteral(".csv"), content);
        PlaybackPage page;
        QCOMPARE(page.open(path), opens);
        QTEST(int(page.run().rows().size()), "rows");
        QTEST(page.run().skippedTornLine(), "torn");
        if (!opens) {
            // The message names the file and, for a file that is not a recording, the line.
            QVERIFY2(page.errorText().contains(QDir::toNativeSeparators(path)),
                qPrintable(page.errorText()));
            QCOMPARE(
                page.errorText().contains(QStringLiteral("第 %1 行").arg(badLine)), badLine > 0);
        }
        const QString heading = page.findChild<QLabel *>("lblPlaybackHeading")->text();
        QCOMPARE(heading.contains(QStringLiteral("已跳过")), page.run().skippedTornLine());
    }

    // The figures of a Shift-drag selection are those of the rows in it, computed by hand:
    // 1..3 s of 0.2, 0.3, 0.2 A at 5 V hold 0.5 As (0.139 mAh) and 2.5 Ws (0.694 mWh).
    void figuresOfASelection()
    {
        PlaybackPage page;
        page.resize(1280, 640);
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        QVERIFY(page.open(writeFile(m_dir, "hand.csv", handRun())));
        auto *figures = page.findChild<QLabel *>("lblPlaybackFigures");
        QVERIFY2(figures->text().contains("0.222 mAh"), qPrintable(figures->text()));
        shiftDrag(page.view(), 0.5, 3.5);
        QVERIFY(page.view()->hasSelection());
        const QString text = figures->text();
        for (const char *expected :
            {"00:00:02.0", "3 ", "0.139 mAh", "0.694 mWh", "5.000 / 5.000 / 5.000 V",
                "200.000 / 233.333 / 300.000 mA", "1.000 / 1.167 / 1.500 W"})
            QVERIFY2(
                text.contains(QLatin1String(expected)), qPrintable(expected + (" in " + text)));
        // A double click shows the whole run and its figures again.
        QTest::mouseDClick(page.view(), Qt::LeftButton, Qt::NoModifier, pixelOf(page.view(), 2));
        QVERIFY(!page.view()->hasSelection());
        QCOMPARE(page.view()->visibleSeconds().upper, 4.0);
    }

    // Where the meter was away the curve breaks instead of bridging the gap.
    void gapsAreBreaks()
    {
        QByteArray text = header;
        for (int i = 0; i <= 100; ++i)
            text += csvRow(i * 0.1 + (i > 50 ? 10 : 0), 0.1);
        PlaybackPage page;
        page.resize(1280, 640);
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        QVERIFY(page.open(writeFile(m_dir, "gap.csv", text)));
        RunView *view = page.view();
        view->replot();
        const QImage image = view->toPixmap().toImage();
        const int y = int(view->yAxis->coordToPixel(100));
        QVERIFY(ImageCheck::isColorNear(
            image, QPointF(view->xAxis->coordToPixel(2), y), Qt::red, 2, 60));
        QVERIFY(!ImageCheck::isColorNear(
            image, QPointF(view->xAxis->coordToPixel(10), y), Qt::red, 2, 60));
    }

    // Each run's figures beside the first's, with the difference and its share; a whole run's
    // charge and energy are those the recording wrote in its last row, to the digits shown.
    void comparesRunsInTheTable()
    {
        ComparePage page;
        QVERIFY(page.open({writeRun(m_dir.filePath("a.csv"), 600, 0.2),
            writeRun(m_dir.filePath("b.csv"), 1200, 0.3)}));
        const QStringList lines = page.tableText().split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 3);
        const QStringList a = lines.at(1).split('\t');
        const QStringList b = lines.at(2).split('\t');
        QCOMPARE(a.at(0), QStringLiteral("a.csv"));
        QCOMPARE(b.at(0), QStringLiteral("b.csv"));
        QCOMPARE(a.at(1), QStringLiteral("59.9"));
        QCOMPARE(b.at(1), QStringLiteral("119.9 Δ +60.0, +100.2 %"));
        QFile file(m_dir.filePath("a.csv"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QList<QByteArray> last = file.readAll().trimmed().split('\n').last().split(',');
        QCOMPARE(a.mid(5),
            QStringList({QString::number(last.at(5).toDouble(), 'f', 3),
                QString::number(last.at(6).toDouble(), 'f', 3)}));
        const double chargeA = a.at(5).toDouble();
        const double chargeB = b.at(5).section(' ', 0, 0).toDouble();
        const double percent = b.at(5).section(", ", 1).section(' ', 0, 0).toDouble();
        QVERIFY2(qAbs(percent - 100 * (chargeB - chargeA) / chargeA) < 0.06, qPrintable(b.at(5)));
        QVERIFY(!page.open({m_dir.filePath("a.csv"), writeFile(m_dir, "x.csv", "x\n")}));
        QCOMPARE(page.tableText(), lines.join('\n') + '\n');
    }

private:
    QTemporaryDir m_dir;
};

QTEST_MAIN(TestPlayback)
#include "tst_playback.moc"
