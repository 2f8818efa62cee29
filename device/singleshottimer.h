// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef SINGLESHOTTIMER_H
#define SINGLESHOTTIMER_H

#include <QObject>
#include <QString>

// A restartable one-shot timer that smooths a burst of notifications into one:
// every start() pushes the timeout back, and the timeout carries the text that
// was pending when it fired.
class SingleShotTimer : public QObject
{
    Q_OBJECT
public:
    // receiver/signal are given as signature text (SIGNAL(...)); timeout() is forwarded to it.
    SingleShotTimer(int interval, Qt::TimerType type, QObject *receiver, const char *signal);

    void start();

    QString extendInfo() const { return m_extendInfo; }
    void setExtendInfo(const QString &extendInfo) { m_extendInfo = extendInfo; }

signals:
    void timeout(const QString &extendInfo);

protected:
    void timerEvent(QTimerEvent *event) override;

private:
    int m_timerId;
    int m_interval;
    Qt::TimerType m_timerType;
    QString m_extendInfo;
};

#endif // SINGLESHOTTIMER_H
