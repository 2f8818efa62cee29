// SPDX-License-Identifier: GPL-3.0-or-later
#include "textpacer.h"

TextPacer::TextPacer(std::function<void()> show)
    : m_show(std::move(show))
{
    m_wait.setSingleShot(true);
    // A coarse timer may come 5 % late, past the interval promised.
    m_wait.setTimerType(Qt::PreciseTimer);
    QObject::connect(&m_wait, &QTimer::timeout, &m_wait, [this] { now(); });
}

void TextPacer::soon()
{
    if (m_wait.isActive())
        return;
    const qint64 since = m_shown.isValid() ? m_shown.elapsed() : IntervalMs;
    if (since >= IntervalMs)
        now();
    else
        m_wait.start(int(IntervalMs - since));
}

void TextPacer::now()
{
    m_wait.stop();
    m_shown.start();
    m_show();
}
