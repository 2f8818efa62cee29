#include "singleshottimer.h"

#include <QtTest>

// Stands in for the notification widget: the timer forwards into one of its signals.
class Receiver : public QObject
{
    Q_OBJECT
signals:
    void fired(const QString &info);
};

// Only the first text of a burst stays, the way the notification widget keeps it.
static void note(SingleShotTimer &timer, const QString &info)
{
    if (timer.extendInfo().isEmpty())
        timer.setExtendInfo(info);
    timer.start();
}

class TestSingleShotTimer : public QObject
{
    Q_OBJECT
private slots:
    void eachBurstGivesOneTimeoutAfterItsLastStart();
};

void TestSingleShotTimer::eachBurstGivesOneTimeoutAfterItsLastStart()
{
    Receiver receiver;
    SingleShotTimer timer(100, Qt::CoarseTimer, &receiver, SIGNAL(fired(const QString &)));
    QSignalSpy fired(&receiver, &Receiver::fired);

    QElapsedTimer sinceLastStart;
    for (const QString info : {"first", "second", "third", "fourth", "fifth"}) {
        note(timer, info);
        sinceLastStart.start();
        QTest::qWait(40);
        QCOMPARE(fired.count(), 0);
    }
    QVERIFY(fired.wait(2000));
    // Coarse timers may fire up to 5 % early, and the clocks round to whole milliseconds.
    QVERIFY2(sinceLastStart.elapsed() >= 90, qPrintable(QString::number(sinceLastStart.elapsed())));
    QCOMPARE(fired.takeFirst().at(0).toString(), QStringLiteral("first"));

    // The text went out with the timeout, so the next burst carries its own.
    note(timer, "two");
    note(timer, "three");
    QVERIFY(fired.wait(2000));
    QVERIFY(!fired.wait(300));
    QCOMPARE(fired.count(), 1);
    QCOMPARE(fired.at(0).at(0).toString(), QStringLiteral("two"));
}

QTEST_GUILESS_MAIN(TestSingleShotTimer)
#include "tst_singleshottimer.moc"
