// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef SINGLESHOTTIMER_H
#define SINGLESHOTTIMER_H

#include <QObject>
#include <QString>
#include <QStringList>

// A restartable one-shot timer that smooths a burst of notifications: every
// start() pushes the timeout back, and when it fires, timeout() is emitted once
// for each distinct text noted during the burst, in the order they came. A hub
// or dock announces itself and the devices behind it in one burst, and every
// one of them counts.
class SingleShotTimer : public QObject
{
    Q_OBJECT
public:
    // receiver/signal are given as signature text (SIGNAL(...)); timeout() is forwarded to it.
    SingleShotTimer(int interval, Qt::TimerType type, QObject *receiver, const char *signal);

    void start();

    void addExtendInfo(const QString &extendInfo);

signals:
    void timeout(const QString &extendInfo);

protected:
    void timerEvent(QTimerEvent *event) override;

private:
    int m_timerId;
    int m_interval;
    Qt::TimerType m_timerType;
    QStringList m_extendInfo;
};

#endif // SINGLESHOTTIMER_H
