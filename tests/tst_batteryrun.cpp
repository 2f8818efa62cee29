// SPDX-License-Identifier: GPL-3.0-or-later
#include "batterylife.h"
#include "batterylifetext.h"
#include "eventlog.h"
#include "stopcondition.h"

#include <QTemporaryDir>
#include <QtTest>

// The rules a battery test is ended, annotated and estimated by, on a clock the test sets.
class TestBatteryRun : public QObject
{
    Q_OBJECT

private slots:
    void stopConditionHolds_data();
    void stopConditionHolds();
    void estimatesBatteryLife_data();
    void estimatesBatteryLife();
    void eventsReadBackAsWritten();
};

// Rows of (seconds, value) every 0.1 s; the row at which the run stops, or -1. The hold is 1 s:
// the condition must be met from one row to a row a whole second later.
void TestBatteryRun::stopConditionHolds_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<double>("threshold");
    QTest::addColumn<QVector<QPointF>>("rows");
    QTest::addColumn<int>("stopsAt");
    const auto falling = [](int lowFrom, int count, double gapAfter = -1) {
        QVector<QPointF> rows;
        for (int i = 0; i < count; ++i)
            rows.append(
                {i * 0.1 + (gapAfter >= 0 && i > gapAfter ? 5 : 0), i >= lowFrom ? 3.4 : 3.6});
        return rows;
    };
    const int voltage = StopCondition::VoltageBelow;
    QTest::newRow("one row short of the hold") << voltage << 3.5 << falling(5, 15) << -1;
    QTest::newRow("one row past the hold") << voltage << 3.5 << falling(5, 16) << 15;
    QTest::newRow("at the threshold is not below") << voltage << 3.6 << falling(100, 20) << -1;
    // A sag at 1.0 s, then low for good from 1.5 s: the hold counts from 1.5 s.
    QVector<QPointF> sag = falling(15, 30);
    sag[10].setY(3.0);
    QTest::newRow("a single low sample") << voltage << 3.5 << sag << 25;
    QTest::newRow("a gap starts the hold anew") << voltage << 3.5 << falling(5, 20, 10) << -1;
    QVector<QPointF> charge;
    for (int i = 0; i < 30; ++i)
        charge.append({i * 0.1, i * 0.01});
    QTest::newRow("charge reached, held") << int(StopCondition::ChargeAt) << 0.1 << charge << 20;
}

void TestBatteryRun::stopConditionHolds()
{
    QFETCH(int, kind);
    QFETCH(double, threshold);
    QFETCH(QVector<QPointF>, rows);
    StopCondition condition(StopCondition::Kind(kind), threshold);
    int stoppedAt = -1;
    for (int i = 0; i < rows.size() && stoppedAt < 0; ++i) {
        Measurement row;
        row.elapsedSeconds = rows.at(i).x();
        row.voltage = rows.at(i).y();
        if (condition.reached(row, rows.at(i).y(), 0))
            stoppedAt = i;
    }
    QTEST(stoppedAt, "stopsAt");
    if (stoppedAt == 15)
        QCOMPARE(condition.stopSummary(3 * 3600 + 41 * 60 + 7.9),
            QStringLiteral("stopped: voltage below 3.5 V (3.40 V) after 3:41:07"));
}

// By hand: 2000 mAh at 48.544 mA is 41.2 h; at 80 % usable 32.96 h; 20 mA active 10 % of the
// time and 0.05 mA asleep is 2.045 mA, 977.99 h, 40 days 18 h.
void TestBatteryRun::estimatesBatteryLife_data()
{
    QTest::addColumn<double>("capacity");
    QTest::addColumn<double>("usable");
    QTest::addColumn<double>("amperes");
    QTest::addColumn<QString>("told");
    QTest::newRow("hours and minutes")
        << 2000.0 << 1.0 << 0.048544 << "按此平均电流，2000 mAh 可用 41 小时 12 分";
    QTest::newRow("usable fraction")
        << 2000.0 << 0.8 << 0.048544 << "按此平均电流，2000 mAh 的 80 % 可用 32 小时 58 分";
    QTest::newRow("minutes") << 100.0 << 1.0 << 0.25 << "按此平均电流，100 mAh 可用 24 分";
    QTest::newRow("blended, in days")
        << 2000.0 << 1.0 << BatteryLife::blendedAmperes(0.020, 0.00005, 0.1)
        << "按此平均电流，2000 mAh 可用 40 天 18 小时";
    QTest::newRow("no current") << 2000.0 << 1.0 << 0.0 << "没有电流，无法估计电池续航";
}

void TestBatteryRun::estimatesBatteryLife()
{
    QFETCH(double, capacity);
    QFETCH(double, usable);
    QFETCH(double, amperes);
    QTEST(BatteryLifeText::estimate(capacity, usable, amperes), "told");
}

// A note with a comma and quotes stays one field; a torn last line is passed over.
void TestBatteryRun::eventsReadBackAsWritten()
{
    QTemporaryDir dir;
    const QString recording = dir.filePath(QStringLiteral("run.csv"));
    EventLog log;
    QVERIFY(log.open(recording));
    QVERIFY(log.write(RunEvent::Unplugged, 12.5));
    QVERIFY(log.write(RunEvent::Note, 13, QStringLiteral("换电池, \"新\"")));
    log.close();
    QVERIFY(log.open(recording, true));
    QVERIFY(log.write(RunEvent::Stopped, 20, QStringLiteral("user")));
    log.close();
    QFile file(EventLog::fileNameFor(recording));
    QVERIFY(file.open(QIODevice::Append));
    file.write("2026-12-08T06:00:00.000+00:00,21.000,note,torn");
    file.close();
    const RunEvents events = EventLog::read(recording);
    QCOMPARE(events.size(), 3);
    QCOMPARE(events.at(0).kind, RunEvent::Unplugged);
    QCOMPARE(events.at(0).elapsedSeconds, 12.5);
    QCOMPARE(events.at(1).text, QStringLiteral("换电池, \"新\""));
    QCOMPARE(events.at(2).kind, RunEvent::Stopped);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readLine(), EventLog::header().toUtf8() + '\n');
}

QTEST_GUILESS_MAIN(TestBatteryRun)
#include "tst_batteryrun.moc"
