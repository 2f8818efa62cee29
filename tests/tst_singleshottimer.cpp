#include "singleshottimer.h"

#include <QtTest>

// Stands in for the notification widget: the timer forwards into one of its signals.
class Receiver : public QObject
{
    Q_OBJECT
signals:
    void fired(const QString &info);
};

class TestSingleShotTimer : public QObject
{
    Q_OBJECT
private slots:
    void burstGivesOneTimeoutAfterLastStart();
    void startAfterTimeoutBeginsNewBurst();
    void livesOnGuiEventDispatcher();

private:
    // Starts the timer the way the notification widget does: only the first text of a burst stays.
    static void note(SingleShotTimer &timer, const QString &info)
    {
        if (timer.extendInfo().isEmpty())
            timer.setExtendInfo(info);
        timer.start();
    }
};

void TestSingleShotTimer::burstGivesOneTimeoutAfterLastStart()
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
    QVERIFY(!fired.wait(300));
    QVERIFY(timer.extendInfo().isEmpty());
}

void TestSingleShotTimer::startAfterTimeoutBeginsNewBurst()
{
    Receiver receiver;
    SingleShotTimer timer(100, Qt::CoarseTimer, &receiver, SIGNAL(fired(const QString &)));
    QSignalSpy fired(&receiver, &Receiver::fired);

    note(timer, "one");
    QVERIFY(fired.wait(2000));
    note(timer, "two");
    note(timer, "three");
    QVERIFY(fired.wait(2000));
    QVERIFY(!fired.wait(300));

    QCOMPARE(fired.count(), 2);
    QCOMPARE(fired.at(0).at(0).toString(), QStringLiteral("one"));
    QCOMPARE(fired.at(1).at(0).toString(), QStringLiteral("two"));
}

void TestSingleShotTimer::livesOnGuiEventDispatcher()
{
    Receiver receiver;
    SingleShotTimer timer(100, Qt::CoarseTimer, &receiver, SIGNAL(fired(const QString &)));
    QCOMPARE(timer.parent(), QAbstractEventDispatcher::instance(qApp->thread()));
}

QTEST_GUILESS_MAIN(TestSingleShotTimer)
#include "tst_singleshottimer.moc"
