// SPDX-License-Identifier: GPL-3.0-or-later
#include "comparepage.h"
#include "eventlist.h"
#include "eventlog.h"
#include "imagecheck.h"
#include "playbackpage.h"
#include "recordingfile.h"
#include "recordingreader.h"
#include "rowparser.h"
#include "runloadbar.h"
#include "runsketch.h"
#include "runstretch.h"
#include "runsummarycache.h"
#include "runview.h"

#include <QAbstractButton>
#include <QLabel>
#include <QListWidgetItem>
#include <QProgressBar>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTranslator>
#include <QtTest>

#include <charconv>

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

void drag(RunView *view, double from, double to, Qt::KeyboardModifiers modifiers)
{
    // Axes are laid out when drawn: the pixels of a time are those of the last drawing.
    view->replot();
    QTest::mousePress(view, Qt::LeftButton, modifiers, pixelOf(view, from));
    // A hand's drag reports where it is more than once, also where it stops.
    for (int i = 0; i < 2; ++i) {
        QMouseEvent move(
            QEvent::MouseMove, pixelOf(view, to), Qt::NoButton, Qt::LeftButton, modifiers);
        QApplication::sendEvent(view, &move);
    }
    QTest::mouseRelease(view, Qt::LeftButton, modifiers, pixelOf(view, to));
}

// Opens on the page and waits for the reading to end; whether the files were opened.
template<typename Page, typename Files>
bool openOn(Page &page, const Files &files)
{
    QSignalSpy opened(&page, &Page::opened);
    QSignalSpy failed(&page, &Page::openFailed);
    page.open(files);
    QTest::qWaitFor([&] { return !opened.isEmpty() || !failed.isEmpty(); }, 30000);
    return !opened.isEmpty();
}

// The rows of a recording counted one by one through the recorder's own reader, on the run's
// clock: from 0, and where an appended recording starts its clock again, on from the later of
// its time of day and the last row's time.
QVector<RecordedRun::Row> rowsOf(const QString &path)
{
    QVector<RecordedRun::Row> rows;
    QDateTime start;
    double offset = 0;
    RecordingReader().read(path, [&](const Measurement &m) {
        if (rows.isEmpty()) {
            start = m.time;
            offset = -m.elapsedSeconds;
        } else if (m.elapsedSeconds + offset < rows.last().seconds) {
            offset = qMax(start.msecsTo(m.time) / 1000.0, rows.last().seconds) - m.elapsedSeconds;
        }
        rows.append({m.elapsedSeconds + offset, m.voltage, m.current, m.power});
    });
    return rows;
}

RunTotals totalsOf(const QVector<RecordedRun::Row> &rows, double from, double to)
{
    RunTotals totals;
    for (const RecordedRun::Row &row : rows)
        if (row.seconds >= from && row.seconds <= to)
            totals.add({QDateTime(), row.seconds, row.voltage, row.current, row.power});
    return totals;
}

QString differences(const RunTotals &a, const RunTotals &b)
{
    const auto near = [](double x, double y) { return qAbs(x - y) <= 1e-9 * (1 + qAbs(y)); };
    QStringList wrong;
    if (a.count() != b.count())
        wrong << QStringLiteral("count %1, not %2").arg(a.count()).arg(b.count());
    for (const auto &pair : {std::make_pair(&RunTotals::voltage, "voltage"),
             std::make_pair(&RunTotals::current, "current"),
             std::make_pair(&RunTotals::power, "power")}) {
        const RunTotals::Range &x = (a.*pair.first)();
        const RunTotals::Range &y = (b.*pair.first)();
        if (x.min != y.min || x.max != y.max || !near(x.sum, y.sum))
            wrong << QString::fromLatin1(pair.second);
    }
    if (!near(a.durationSeconds(), b.durationSeconds()))
        wrong << QStringLiteral("duration %1, not %2")
                     .arg(a.durationSeconds())
                     .arg(b.durationSeconds());
    if (!near(a.chargeMilliampereHours(), b.chargeMilliampereHours())
        || !near(a.energyMilliwattHours(), b.energyMilliwattHours()))
        wrong << QStringLiteral("charge or energy");
    return wrong.join(QStringLiteral(", "));
}

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void expectFigures(const QLabel *figures, const QStringList &expected)
{
    for (const QString &part : expected)
        QVERIFY2(figures->text().contains(part), qPrintable(part + " in " + figures->text()));
}

} // namespace

class TestPlayback : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QStandardPaths::setTestModeEnabled(true);
        QDir(QFileInfo(RunSummaryCache::fileFor(QFileInfo(m_dir.path()))).path())
            .removeRecursively();
    }

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
        QCOMPARE(openOn(page, path), opens);
        QTEST(int(page.run().rowCount()), "rows");
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

    // The figures of a selection are those of the rows in it, computed by hand: 1..3 s of 0.2,
    // 0.3, 0.2 A at 5 V hold 0.5 As (0.139 mAh) and 2.5 Ws (0.694 mWh). Its markers can be
    // dragged, even past each other, and the button puts them over what is in view.
    void figuresOfASelection()
    {
        PlaybackPage page;
        page.resize(1280, 640);
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        QVERIFY(openOn(page, writeFile(m_dir, "hand.csv", handRun())));
        auto *figures = page.findChild<QLabel *>("lblPlaybackFigures");
        auto *markers = page.findChild<QAbstractButton *>("btnMarkers");
        expectFigures(figures, {"0.222 mAh"});
        drag(page.view(), 0.5, 3.5, Qt::ShiftModifier);
        QVERIFY(page.view()->hasSelection() && markers->isChecked());
        expectFigures(figures,
            {"00:00:02.0", "3 ", "0.139 mAh", "0.694 mWh", "5.000 / 5.000 / 5.000 V",
                "200.000 / 233.333 / 300.000 mA", "1.000 / 1.167 / 1.500 W"});
        // The later marker taken past the earlier one: 0..0.5 s holds the first row alone.
        drag(page.view(), 3.5, -0.3, Qt::NoModifier);
        expectFigures(figures, {"1 ", "100.000 / 100.000 / 100.000 mA"});
        QCOMPARE(page.view()->visibleSeconds().upper, 4.0);
        drag(page.view(), 0.5, 2.5, Qt::NoModifier);
        expectFigures(figures, {"3 ", "100.000 / 200.000 / 300.000 mA"});
        markers->click();
        QVERIFY(!page.view()->hasSelection());
        markers->click();
        QCOMPARE(page.view()->selection().lower, 4.0 / 3);
        QCOMPARE(page.view()->selection().upper, 8.0 / 3);
        expectFigures(figures, {"1 ", "300.000 / 300.000 / 300.000 mA"});
        // A double click shows the whole run and its figures again.
        QTest::mouseDClick(page.view(), Qt::LeftButton, Qt::NoModifier, pixelOf(page.view(), 2));
        QVERIFY(!page.view()->hasSelection() && !markers->isChecked());
    }

    // The figures of any stretch of a run, whole blocks from its summary and the ends from its
    // rows, are those of its rows counted one by one: over gaps, a lone peak, a torn last row,
    // the seam of a recording appended to another, and a file read in several pieces at once.
    // Every row is read once, in order; the whole run's figures are those its last row wrote.
    void figuresOfAnyStretch_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("whole");
        const auto noise = [](int i) {
            return i == 1500 ? 0.9 : i == 1600 ? 0.01 : 0.1 + (i * 7919 % 1000) / 1e4;
        };
        const QString gaps = writeRecording(m_dir.filePath("gaps.csv"), 5000, noise, 30, 2500);
        QTest::newRow("gaps and a lone peak") << gaps << true;
        QTest::newRow("torn last row")
            << writeFile(m_dir, "torn.csv", contentOf(gaps) + "2026-12-06T21:12:00.000+01:00,9")
            << true;
        const QDateTime start(QDate(2026, 12, 6), QTime(21, 3, 4));
        for (const double later : {0.05, 3600.0}) {
            const QString second = writeRecording(m_dir.filePath("second.csv"), 2000, noise, 0, -1,
                start.addMSecs(qint64((300 + later) * 1000)));
            QTest::addRow("appended %g s later", later)
                << writeFile(m_dir, QStringLiteral("appended-%1.csv").arg(later),
                       contentOf(writeRecording(m_dir.filePath("first.csv"), 3001, noise))
                           + contentOf(second).mid(contentOf(second).indexOf('\n') + 1))
                << false;
        }
        QTest::newRow("several pieces") << longRun() << false;
    }
    void figuresOfAnyStretch()
    {
        QFETCH(QString, path);
        const QVector<RecordedRun::Row> rows = rowsOf(path);
        RecordedRun run;
        QVERIFY(run.load(path));
        QCOMPARE(run.rowCount(), qint64(rows.size()));
        qint64 i = 0;
        run.visitRows(0, run.rowCount() - 1, [&](const RecordedRun::Row &row) {
            if (i < rows.size() && row.seconds != rows.at(int(i)).seconds)
                QFAIL(qPrintable(QStringLiteral("row %1 at %2 s").arg(i).arg(row.seconds)));
            ++i;
        });
        QCOMPARE(i, run.rowCount());
        QRandomGenerator random(7);
        const double duration = rows.last().seconds;
        for (int n = 0; n < 60; ++n) {
            double from = random.bounded(duration * 1.1) - duration * 0.05;
            double to = from + random.bounded(n % 3 == 0 ? duration : 30.0);
            // Edges on a row's very time, where a stretch's ends are easiest to count twice.
            if (n % 5 == 0)
                from = rows.at(random.bounded(rows.size())).seconds;
            const QString wrong = differences(run.totals(from, to), totalsOf(rows, from, to));
            QVERIFY2(wrong.isEmpty(),
                qPrintable(QStringLiteral("%1..%2 s: ").arg(from).arg(to) + wrong));
        }
        // A stretch of one count begun at any row (a recording, publishing, figures reset) counts
        // as a run of its own begun there.
        for (const int first : {0, int(rows.size()) / 3, int(rows.size()) - 1}) {
            RunTotals whole, own;
            RunStretch stretch;
            for (int j = 0; j < rows.size(); ++j) {
                const RecordedRun::Row &row = rows.at(j);
                const Measurement measurement {
                    QDateTime(), row.seconds, row.voltage, row.current, row.power};
                whole.add(measurement);
                if (j < first)
                    continue;
                own.add(measurement);
                stretch.take(whole);
            }
            const auto near
                = [](double x, double y) { return qAbs(x - y) <= 1e-9 * (1 + qAbs(y)); };
            QCOMPARE(stretch.count(), own.count());
            QCOMPARE(stretch.minimumCurrent(), own.minimumCurrent());
            QCOMPARE(stretch.maximumCurrent(), own.maximumCurrent());
            QVERIFY2(near(stretch.meanCurrent(), own.meanCurrent())
                    && near(stretch.chargeMilliampereHours(), own.chargeMilliampereHours())
                    && near(stretch.energyMilliwattHours(), own.energyMilliwattHours()),
                qPrintable(QStringLiteral("from row %1: %2 mAh, not %3")
                               .arg(first)
                               .arg(stretch.chargeMilliampereHours())
                               .arg(own.chargeMilliampereHours())));
        }
        QFETCH(bool, whole);
        if (whole) {
            const QList<QByteArray> last = contentOf(path).trimmed().split('\n').last().split(',');
            if (!run.skippedTornLine())
                QCOMPARE(
                    QString::number(run.totals().chargeMilliampereHours(), 'f', 6), last.at(5));
        }
    }

    // Every number of a row reads as the exact double its text stands for, whoever wrote it: the
    // recorders' fixed decimals, and longer or exponent forms from elsewhere.
    void numbersReadExactly()
    {
        QRandomGenerator random(5);
        for (int n = 0; n < 20000; ++n) {
            const double x
                = (random.generateDouble() - 0.3) * std::pow(10.0, random.bounded(12) - 6);
            const QByteArray texts[] = {QByteArray::number(x, 'f', 6),
                QByteArray::number(x, 'f', 3), QByteArray::number(x, 'g', 17),
                QByteArray::number(x, 'e', 9), QByteArray::number(x, 'f', 12)};
            for (const QByteArray &text : texts) {
                const QByteArray line
                    = "2026-12-06T21:03:04.000+01:00," + text + ",5," + text + "," + text + ",0,0";
                RowParser::Values values;
                double expected = 0;
                std::from_chars(text.constData(), text.constData() + text.size(), expected);
                QVERIFY2(RowParser::parse(line.constData(), line.constData() + line.size(), values)
                            == RowParser::Row
                        && values.elapsed == expected && values.current == expected
                        && values.power == expected,
                    line.constData());
            }
        }
    }

    // A kept summary, in the cache or left beside the recording by its writer, is used only for
    // the file as it was: one damaged, one of a file since appended to, or one of another file
    // put in its place is rebuilt, never trusted.
    void keptSummaryIsNeverTrustedBlindly_data()
    {
        QTest::addColumn<bool>("beside");
        QTest::newRow("in the cache") << false;
        QTest::newRow("beside the recording") << true;
    }
    void keptSummaryIsNeverTrustedBlindly()
    {
        QFETCH(bool, beside);
        const auto keptFor = [beside](const QString &path) {
            return beside ? RunSummaryCache::sidecarFor(QFileInfo(path))
                          : RunSummaryCache::fileFor(QFileInfo(path));
        };
        const auto written = [&](const QString &name, double amperes) {
            const QString path = writeRecording(
                m_dir.filePath(name), 3000, [amperes](int i) { return amperes + i % 7 / 100.0; });
            if (!beside)
                QFile::remove(RunSummaryCache::sidecarFor(QFileInfo(path)));
            return path;
        };
        const QString path = written(beside ? "beside.csv" : "kept.csv", 0.1);
        const QString kept = keptFor(path);
        const auto load = [&](bool expectKept) {
            RecordedRun run;
            QVERIFY(run.load(path));
            QCOMPARE(run.summaryWasKept(), expectKept);
            QCOMPARE(differences(run.totals(), totalsOf(rowsOf(path), -1, 1e9)), QString());
        };
        if (!beside)
            load(false);
        load(true);
        QByteArray bytes = contentOf(kept);
        bytes[bytes.size() / 2] = char(bytes.at(bytes.size() / 2) ^ 0x10);
        writeFile(m_dir, "damaged.summary", bytes);
        QVERIFY(QFile::remove(kept) && QFile::copy(m_dir.filePath("damaged.summary"), kept));
        load(false);
        QFile file(path);
        QVERIFY(file.open(QIODevice::Append));
        file.write(csvRow(301, 0.5));
        file.close();
        load(false);
        load(true);
        const QString other = written(beside ? "beside-other.csv" : "other.csv", 0.2);
        RecordedRun run;
        QVERIFY(run.load(other));
        QFile::remove(RunSummaryCache::fileFor(QFileInfo(path)));
        QVERIFY(QFile::remove(kept) || !QFile::exists(kept));
        QVERIFY(QFile::copy(keptFor(other), kept));
        load(false);
    }

    // "取消" halfway through a long run leaves the page empty and ready for the next file; the
    // window's own events go on being handled meanwhile.
    void cancelHalfwayLeavesThePageEmpty()
    {
        const QString path = longRun();
        RunSummaryCache::forget(QFileInfo(path));
        PlaybackPage page;
        page.show();
        auto *bar = page.findChild<QProgressBar *>("barReading");
        auto *cancel = page.findChild<QPushButton *>("btnCancelReading");
        connect(bar, &QProgressBar::valueChanged, cancel, [cancel](int value) {
            if (value > 0 && value < 100)
                cancel->click();
        });
        QSignalSpy opened(&page, &PlaybackPage::opened);
        int ticks = 0;
        QTimer tick;
        connect(&tick, &QTimer::timeout, [&] { ++ticks; });
        tick.start(1);
        page.open(path);
        QVERIFY(page.isLoading() && bar->isVisible());
        QTRY_VERIFY(!page.isLoading());
        QVERIFY(ticks > 0);
        QVERIFY(!bar->isVisible());
        QVERIFY(page.run().isEmpty() && opened.isEmpty());
        QCOMPARE(page.view()->graphCount(), 0);
        QVERIFY(page.findChild<QLabel *>("lblPlaybackHeading")->text().contains("请选择"));
        QVERIFY(openOn(page, writeFile(m_dir, "after.csv", handRun())));
        QCOMPARE(page.run().rowCount(), qint64(5));
    }

    // A file read anew is sketched before its rows are read: rows at even steps from its first
    // to its last whole one, each once, on one clock through an appended recording, past the
    // header, a foreign line and a torn last row; a last row without its line break is a row.
    void sketchesTheWholeRun()
    {
        const int rows = 9000;
        const int restart = 6000;
        QByteArray text = header;
        for (int i = 0; i < rows; ++i) {
            if (i == 3000)
                text += "a line of no recording\n";
            text += csvRow((i < restart ? i : i - restart) * 0.1, 1 + i * 1e-5);
        }
        text += "2026-12-06T21:00:00.000+01:00,1";
        const int points = 512;
        const RunSketch sketch = RunSketch::of(text.constData(), text.size(), points);
        QVERIFY2(sketch.current.size() >= points - 2 && sketch.current.size() <= points,
            qPrintable(QString::number(sketch.current.size())));
        const auto rowOf = [](const QPointF &p) { return qRound((p.y() - 1) * 1e5); };
        QCOMPARE(rowOf(sketch.current.first()), 0);
        QCOMPARE(sketch.current.first().x(), 0.0);
        QCOMPARE(rowOf(sketch.current.last()), rows - 1);
        int clockBreaks = 0;
        for (int k = 1; k < sketch.current.size(); ++k) {
            const QPointF &a = sketch.current.at(k - 1);
            const QPointF &b = sketch.current.at(k);
            const int step = rowOf(b) - rowOf(a);
            QVERIFY2(step > 0 && step <= 2 * rows / points, qPrintable(QString::number(step)));
            QVERIFY(b.x() >= a.x());
            if (qAbs(b.x() - a.x() - step * 0.1) > 1e-6)
                ++clockBreaks;
        }
        QCOMPARE(clockBreaks, 1);

        QByteArray few = handRun();
        few.chop(1);
        const RunSketch all = RunSketch::of(few.constData(), few.size(), RunScan::SketchPoints);
        QCOMPARE(all.current, QVector<QPointF>({{0, 0.1}, {1, 0.2}, {2, 0.3}, {3, 0.2}, {4, 0.1}}));
    }

    // A long file read anew shows its sketch, scaled to the page and with its length, before
    // its figures, in both languages; a view moved over the sketch stays where it was taken
    // when the rows arrive, and a file that turns out not to be a recording leaves the page
    // empty.
    void showsTheRunWhileReadingIt()
    {
        const QString path = longRun();
        for (const QString language : {"zh", "en"}) {
            QTranslator translator;
            QVERIFY(translator.load(":/languages/" + language + ".qm"));
            QCoreApplication::installTranslator(&translator);
            RunSummaryCache::forget(QFileInfo(path));
            PlaybackPage page;
            page.resize(1280, 720);
            page.show();
            RunView *view = page.view();
            int sketchPoints = 0;
            QCPRange seconds;
            QCPRange values;
            QString heading;
            connect(page.findChild<RunLoadBar *>(), &RunLoadBar::sketched, &page, [&] {
                QVERIFY(page.isLoading() && view->graphCount() == 1);
                sketchPoints = view->graph(0)->dataCount();
                seconds = view->visibleSeconds();
                values = view->yAxis->range();
                heading = page.findChild<QLabel *>("lblPlaybackHeading")->text();
                view->replot();
                ImageCheck::save(ImageCheck::grab(&page), "playback-sketch-" + language);
                view->showSeconds(100, 200);
            });
            QVERIFY(openOn(page, path));
            QCoreApplication::removeTranslator(&translator);
            QVERIFY2(sketchPoints > RunScan::SketchPoints - 10, qPrintable(heading));
            QCOMPARE(seconds.lower, 0.0);
            QVERIFY(qAbs(seconds.upper - page.run().durationSeconds()) < 1e-6);
            QVERIFY(values.upper >= 1000 * page.run().totals().current().max);
            QVERIFY2(heading.contains("long.csv")
                    && heading.contains(language == "zh" ? "时长 03:20:04" : "duration 03:20:04"),
                qPrintable(heading));
            QCOMPARE(view->visibleSeconds(), QCPRange(100, 200));
        }

        QByteArray bad = header;
        for (int i = 0; i < 20000; ++i)
            bad += (i == 15000 ? "a line of no recording\n" : csvRow(i * 0.1, 0.1));
        PlaybackPage page;
        QSignalSpy sketched(page.findChild<RunLoadBar *>(), &RunLoadBar::sketched);
        QVERIFY(!openOn(page, writeFile(m_dir, "bad-late.csv", bad)));
        QCOMPARE(sketched.count(), 1);
        QCOMPARE(page.view()->graphCount(), 0);
    }

    // The value axis follows what is in view until it is fixed by its button or by scaling it
    // with Ctrl and the wheel; then it stays where the user put it.
    void valueAxisCanBeFixed()
    {
        PlaybackPage page;
        page.resize(1280, 640);
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        // Half a minute at 300 mA, then half a minute at 30 mA.
        QVERIFY(openOn(page, writeRecording(m_dir.filePath("steps.csv"), 600, [](int i) {
            return i < 300 ? 0.3 : 0.03;
        })));
        RunView *view = page.view();
        auto *fix = page.findChild<QAbstractButton *>("btnFixValues");
        QCOMPARE(view->yAxis->range().upper, 330.0);
        view->showSeconds(40, 50);
        QCOMPARE(view->yAxis->range().upper, 33.0);
        fix->click();
        view->showSeconds(0, 10);
        QCOMPARE(view->yAxis->range().upper, 33.0);
        fix->click();
        QCOMPARE(view->yAxis->range().upper, 330.0);
        const QPoint at = pixelOf(view, 5);
        QWheelEvent wheel(QPointF(at), QPointF(view->mapToGlobal(at)), QPoint(), QPoint(0, 120),
            Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(view, &wheel);
        QVERIFY(fix->isChecked());
        QVERIFY(view->yAxis->range().upper < 330.0);
        QCOMPARE(view->visibleSeconds(), QCPRange(0, 10));
    }

    // Where the meter was away the curve breaks instead of bridging the gap.
    void gapsAreBreaks()
    {
        QByteArray text = header;
        for (int i = 0; i <= 100; ++i)
            text += csvRow(i * 0.1 + (i > 50 ? 10 : 0), 0.1);
        PlaybackPage page;
        page.resize(1280, 720);
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        QVERIFY(openOn(page, writeFile(m_dir, "gap.csv", text)));
        RunView *view = page.view();
        view->replot();
        const QImage image = view->toPixmap().toImage();
        // A hairline that falls between two pixel rows is drawn half-bright in both: what counts
        // is red standing out from the dark ground near its height, not its full colour.
        const int y = int(view->yAxis->coordToPixel(100));
        const auto redNear = [&](double seconds) {
            const int x = int(view->xAxis->coordToPixel(seconds));
            for (int dy = -3; dy <= 3; ++dy) {
                const QColor c = image.pixelColor(x, y + dy);
                if (c.red() - qMax(c.green(), c.blue()) > 60)
                    return true;
            }
            return false;
        };
        QVERIFY(redNear(2));
        QVERIFY(!redNear(10));
    }

    // Each run's figures beside the first's, with the difference and its share; a whole run's
    // charge and energy are those the recording wrote in its last row, to the digits shown.
    void comparesRunsInTheTable()
    {
        ComparePage page;
        const QStringList ab {writeRun(m_dir.filePath("a.csv"), 600, 0.2),
            writeRun(m_dir.filePath("b.csv"), 1200, 0.3)};
        QVERIFY(openOn(page, ab));
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
        QVERIFY(!openOn(page, QStringList {ab.first(), writeFile(m_dir, "x.csv", "x\n")}));
        QVERIFY(page.errorText().contains("x.csv"));
        QVERIFY(openOn(page, ab));
        QCOMPARE(page.tableText(), lines.join('\n') + '\n');
        // With a stretch selected, the table holds its figures, and the heading says so.
        page.view()->select(0, 10);
        QCOMPARE(page.tableText().split('\n').at(2).section('\t', 1, 1),
            QStringLiteral("10.0 Δ +0.0, +0.0 %"));
        QVERIFY(page.findChild<QLabel *>("lblCompareHeading")->text().contains("选区"));
    }

    // A battery run with an unplug, a note and its cut-off in its events file: each drawn as a
    // marker and listed, a click shows the curve around it; the estimates by hand: 0.2 A for
    // 30 s then 0.5 mA for 30 s is a mean of 100.25 mA, 2000 mAh for 19 h 57 min; active at
    // 200 mA 10 % of the time and asleep at 0.5 mA, 20.45 mA and 97 h 48 min.
    void eventsAndBatteryLife()
    {
        const QString path = writeRecording(
            m_dir.filePath("battery.csv"), 600, [](int i) { return i < 300 ? 0.2 : 0.0005; });
        const QDateTime start(QDate(2026, 12, 6), QTime(21, 3, 4));
        EventLog log;
        QVERIFY(log.open(path));
        log.write({start.addSecs(10), 10, RunEvent::Unplugged, QString()});
        log.write({start.addSecs(20), 20, RunEvent::Note, "换电池, 3.7 V"});
        log.write({start.addMSecs(59900), 59.9, RunEvent::ConditionReached,
            "voltage below 3.5 V (3.49 V)"});
        log.close();
        PlaybackPage page;
        page.resize(1280, 720);
        page.show();
        QVERIFY(openOn(page, path));
        QStringList labels;
        for (auto *marker : page.view()->findChildren<QCPItemText *>("eventMarker"))
            labels << marker->text();
        QCOMPARE(labels, QStringList({"电流表拔出", "换电池, 3.7 V", "到达停止条件"}));
        QCOMPARE(page.eventList()->count(), 3);
        page.view()->showSeconds(0, 10);
        QListWidgetItem *note = page.eventList()->item(1);
        QVERIFY(note->text().startsWith("00:00:20  换电池, 3.7 V"));
        page.eventList()->itemClicked(note);
        QCOMPARE(page.view()->visibleSeconds().center(), 20.0);

        const auto text
            = [&page](const char *name) { return page.findChild<QLabel *>(name)->text(); };
        QVERIFY2(text("lblBatteryEstimate").endsWith("2000 mAh 可用 19 小时 57 分"),
            qPrintable(text("lblBatteryEstimate")));
        page.view()->select(1, 20);
        page.findChild<QAbstractButton *>("btnTakeActive")->click();
        page.view()->select(40, 55);
        page.findChild<QAbstractButton *>("btnTakeSleep")->click();
        QVERIFY2(text("lblBlendedEstimate")
                     .endsWith("平均 20.450 mA · 按此平均电流，2000 mAh 可用 97 小时 48 分"),
            qPrintable(text("lblBlendedEstimate")));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const double lastEnergy
            = file.readAll().trimmed().split('\n').last().split(',').at(6).toDouble();
        QVERIFY2(text("lblDischarge").contains(QStringLiteral("voltage below 3.5 V (3.49 V)"))
                && text("lblDischarge")
                       .contains(QString::number(lastEnergy / 1000, 'f', 6) + " Wh"),
            qPrintable(text("lblDischarge")));
        ImageCheck::save(ImageCheck::grab(&page), "playback-events");

        ComparePage compare;
        QVERIFY(openOn(
            compare, QStringList {path, writeRun(m_dir.filePath("no-events.csv"), 100, 0.1)}));
        QCOMPARE(compare.view()->findChildren<QCPItemText *>("eventMarker").size(), 3);
    }

private:
    // Some 7 MB, a gap halfway: read in two pieces, on both cores, with progress between them.
    QString longRun()
    {
        const QString path = m_dir.filePath("long.csv");
        if (QFileInfo::exists(path))
            return path;
        QByteArray text = header;
        for (int i = 0; i < 120000; ++i)
            text += csvRow(i * 0.1 + (i >= 70000 ? 5 : 0), 0.05 + (i * 7919 % 1000) / 1e4);
        return writeFile(m_dir, "long.csv", text);
    }

    QTemporaryDir m_dir;
};

QTEST_MAIN(TestPlayback)
#include "tst_playback.moc"
