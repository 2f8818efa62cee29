// SPDX-License-Identifier: GPL-3.0-or-later
#include "historyexport.h"
#include "measurementhistory.h"

#include <QtTest>

namespace {

using Sample = MeasurementHistory::Sample;

// Ten a second, the current rising one milliampere a sample, with a peak at `peakIndex`.
Sample sampleNumber(qint64 index, qint64 peakIndex = -1)
{
    const float current = index == peakIndex ? 9.5f : float(index % 1000) / 1000;
    return {index / 10.0, 5.0f, current, 5.0f * current};
}

QVector<Sample> visited(const MeasurementHistory &history, double from, double to)
{
    QVector<Sample> samples;
    history.visit(from, to, [&samples](const Sample &sample) { samples << sample; });
    return samples;
}

} // namespace

// What the window's views and exports read back: every recent sample exactly,
// older peaks in the summary, gaps where the meter was away, memory bounded.
class TestMeasurementHistory : public QObject
{
    Q_OBJECT

private slots:
    void recentSamplesComeBackExactly_data()
    {
        QTest::addColumn<qint64>("appended");
        QTest::addColumn<double>("from");
        QTest::addColumn<double>("to");
        QTest::addColumn<qint64>("firstIndex");
        QTest::addColumn<qint64>("lastIndex");
        // A capacity of 8192: whole chunks of 4096 leave once a chunk more is held.
        QTest::newRow("all held") << qint64(5000) << 0.0 << 1e9 << qint64(0) << qint64(4999);
        QTest::newRow("inner range, ends included")
            << qint64(5000) << 10.0 << 20.0 << qint64(100) << qint64(200);
        QTest::newRow("oldest chunk gone")
            << qint64(12289) << 0.0 << 1e9 << qint64(4096) << qint64(12288);
        QTest::newRow("between samples") << qint64(100) << 1.05 << 1.25 << qint64(11) << qint64(12);
    }
    void recentSamplesComeBackExactly()
    {
        QFETCH(qint64, appended);
        QFETCH(double, from);
        QFETCH(double, to);
        QFETCH(qint64, firstIndex);
        QFETCH(qint64, lastIndex);
        MeasurementHistory history(8192);
        for (qint64 i = 0; i < appended; ++i)
            history.append(sampleNumber(i));
        const QVector<Sample> samples = visited(history, from, to);
        QCOMPARE(samples.size(), int(lastIndex - firstIndex + 1));
        for (int i = 0; i < samples.size(); ++i) {
            const Sample expected = sampleNumber(firstIndex + i);
            QCOMPARE(samples.at(i).seconds, expected.seconds);
            QCOMPARE(samples.at(i).current, expected.current);
            QCOMPARE(samples.at(i).power, expected.power);
        }
        QVERIFY(history.size() <= 8192 + 4096);
        QCOMPARE(history.lastSeconds(), (appended - 1) / 10.0);
    }

    // A peak of one sample, long out of the full-resolution horizon of a run
    // of weeks, is still at its height in the summary, and the history holds
    // no more samples than its capacity and a chunk.
    void oldPeaksStayVisibleInBoundedMemory()
    {
        const qint64 capacity = 8192;
        const qint64 peak = 1234;
        MeasurementHistory history(capacity);
        const qint64 weeks = 3 * 7 * 24 * 36000;
        for (qint64 i = 0; i < weeks; ++i)
            history.append(sampleNumber(i, peak));
        QVERIFY(history.size() >= capacity && history.size() <= capacity + 4096);
        const double end = history.lastSeconds() + 1;
        const QVector<MeasurementHistory::Extent> whole = history.summary(0, end, 100);
        QCOMPARE(whole.size(), 100);
        QCOMPARE(whole.first().current.max, 9.5f);
        QCOMPARE(whole.first().current.min, 0.0f);
        QCOMPARE(whole.at(50).current.max, 0.999f);
        for (const auto &extent : whole)
            QVERIFY(extent.count > 0 && !extent.gap);
        // In the recent stretch the summary is exact.
        const auto recent = history.summary(end - 10.05, end, 1);
        QCOMPARE(recent.first().count, qint64(91));
    }

    void gapsBreakTheRun()
    {
        MeasurementHistory history(8192);
        history.append(sampleNumber(0));
        history.append(sampleNumber(1));
        history.append(Sample::gap(0.15));
        history.append(sampleNumber(50));
        const QVector<Sample> samples = visited(history, 0, 10);
        QCOMPARE(samples.size(), 4);
        QVERIFY(!samples.at(1).isGap());
        QVERIFY(samples.at(2).isGap());
        const auto thirds = history.summary(0, 6, 3);
        QVERIFY(thirds.at(0).gap);
        QCOMPARE(thirds.at(0).count, qint64(2));
        QVERIFY(!thirds.at(1).gap);
        QCOMPARE(thirds.at(1).count, qint64(0));
        QVERIFY(!thirds.at(2).gap);
        QCOMPARE(thirds.at(2).count, qint64(1));
    }

    // A curve zoomed out over the full-detail day draws from the extremes kept for every few
    // samples: each slot holds exactly what its samples hold, wherever its edges fall.
    void slotsHoldWhatTheirSamplesHold()
    {
        MeasurementHistory history(100000);
        for (qint64 i = 0; i < 20000; ++i) {
            history.append(sampleNumber(i, 7777));
            if (i % 3001 == 3000)
                history.append(Sample::gap(i / 10.0 + 0.05));
        }
        QRandomGenerator random(11);
        for (int n = 0; n < 40; ++n) {
            const double from = random.bounded(2100.0) - 50;
            const double to = from + random.bounded(n % 2 ? 2000.0 : 20.0);
            const int slotCount = 1 + random.bounded(n % 3 ? 2000 : 7);
            const QVector<MeasurementHistory::Extent> drawn = history.summary(from, to, slotCount);
            QVector<MeasurementHistory::Extent> counted;
            const double width = (to - from) / slotCount;
            for (int i = 0; i < slotCount; ++i)
                counted.append({from + i * width, from + (i + 1) * width});
            for (const Sample &sample : visited(history, from, to)) {
                if (sample.seconds < to)
                    counted[qBound(
                                0, int(std::floor((sample.seconds - from) / width)), slotCount - 1)]
                        .add(sample);
            }
            for (int i = 0; i < slotCount; ++i) {
                const MeasurementHistory::Extent &a = drawn.at(i), &b = counted.at(i);
                QVERIFY2(a.count == b.count && a.gap == b.gap
                        && (a.count == 0
                            || (a.current.min == b.current.min && a.current.max == b.current.max
                                && a.voltage.max == b.voltage.max && a.power.min == b.power.min)),
                    qPrintable(QStringLiteral("%1..%2 s in %3 slots, slot %4: %5 samples, not %6")
                                   .arg(from)
                                   .arg(to)
                                   .arg(slotCount)
                                   .arg(i)
                                   .arg(a.count)
                                   .arg(b.count)));
            }
        }
    }

    // "保存" of a long history tells its progress up to 100 %, and a save cancelled halfway
    // leaves the file that was there whole.
    void savingTellsProgressAndCancels()
    {
        MeasurementHistory history;
        for (qint64 i = 0; i < 50000; ++i)
            history.append(sampleNumber(i));
        const HistoryExport::Samples samples = HistoryExport::snapshot(history);
        QTemporaryDir dir;
        const QString path = dir.filePath("day.csv");
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("an earlier run\n") > 0);
        old.close();
        const auto lines = [&path] {
            QFile file(path);
            return file.open(QIODevice::ReadOnly) ? file.readAll().split('\n')
                                                  : QList<QByteArray>();
        };
        std::atomic<bool> cancel {false};
        QList<int> steps;
        HistoryExport::Result result
            = HistoryExport::writeCsv(path, samples, history.startTime(), cancel, [&](int percent) {
                  steps << percent;
                  cancel = percent >= 40;
              });
        QVERIFY(result.cancelled && !result.written);
        QCOMPARE(lines().first(), QByteArray("an earlier run"));
        QVERIFY2(steps.size() > 1 && steps.last() < 100, qPrintable(QString::number(steps.last())));

        cancel = false;
        steps.clear();
        result = HistoryExport::writeCsv(
            path, samples, history.startTime(), cancel, [&](int percent) { steps << percent; });
        QVERIFY(result.written);
        QCOMPARE(result.rows, qint64(samples.size()));
        QCOMPARE(lines().size(), samples.size() + 2); // the header, and the end of the last line
        QVERIFY(steps.size() > 10 && steps.last() == 100);
        QVERIFY(std::is_sorted(steps.cbegin(), steps.cend()));
    }
};

QTEST_APPLESS_MAIN(TestMeasurementHistory)
#include "tst_measurementhistory.moc"
