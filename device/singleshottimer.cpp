// SPDX-License-Identifier: GPL-3.0-or-later
#include "singleshottimer.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QThread>
#include <QTimerEvent>

static QObject *guiEventDispatcher()
{
    QCoreApplication *app = QCoreApplication::instance();
    return app ? QAbstractEventDispatcher::instance(app->thread()) : nullptr;
}

SingleShotTimer::SingleShotTimer(
    int interval, Qt::TimerType type, QObject *receiver, const char *signal)
    : QObject(guiEventDispatcher())
    , m_timerId(-1)
    , m_interval(interval)
    , m_timerType(type)
{
    connect(this, SIGNAL(timeout(const QString &)), receiver, signal);
}

void SingleShotTimer::start()
{
    if (m_timerId > 0)
        killTimer(m_timerId);
    m_timerId = startTimer(m_interval, m_timerType);
}

void SingleShotTimer::addExtendInfo(const QString &extendInfo)
{
    if (!m_extendInfo.contains(extendInfo))
        m_extendInfo.append(extendInfo);
}

void SingleShotTimer::timerEvent(QTimerEvent *event)
{
    // Only one timer is ever running, so the event's id needs no checking.
    Q_UNUSED(event)
    if (m_timerId > 0)
        killTimer(m_timerId);
    m_timerId = -1;
    const QStringList burst = m_extendInfo;
    m_extendInfo.clear();
    for (const QString &extendInfo : burst)
        emit timeout(extendInfo);
}
