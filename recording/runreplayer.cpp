// SPDX-License-Identifier: GPL-3.0-or-later
#include "runreplayer.h"

#include "recordedrun.h"

#include <algorithm>
#include <cmath>

namespace {

// A step a display frame or so: at 60 times a run of ten rows a second, some six rows a step.
constexpr int stepMilliseconds = 15;

} // namespace

RunReplayer::RunReplayer(QObject *parent)
    : QObject(parent)
{
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setInterval(stepMilliseconds);
    connect(&m_timer, &QTimer::timeout, this, &RunReplayer::step);
}

void RunReplayer::start(const RecordedRun *run)
{
    m_run = run;
    m_paused = false;
    seek(0);
    m_clock.start();
    m_timer.start();
}

void RunReplayer::stop()
{
    m_timer.stop();
    m_run = nullptr;
}

double RunReplayer::duration() const
{
    return m_run ? m_run->durationSeconds() : 0;
}

void RunReplayer::setSpeed(int factor)
{
    m_speed = std::max(factor, 1);
}

void RunReplayer::setPaused(bool paused)
{
    if (!paused && m_run && m_position >= duration())
        seek(0);
    m_paused = paused;
    m_clock.restart();
}

void RunReplayer::seek(double seconds)
{
    if (!m_run)
        return;
    m_position = std::max(0.0, std::min(seconds, duration()));
    // The row at the new position is the first one shown from there.
    m_next = m_run->rowsUntil(std::nextafter(m_position, -1.0));
    emit sought();
    emit positionChanged(m_position);
}

void RunReplayer::step()
{
    const qint64 elapsed = m_clock.restart();
    if (!m_run || m_paused)
        return;
    m_position = std::min(m_position + elapsed / 1000.0 * m_speed, duration());
    const qint64 last = m_run->rowsUntil(m_position);
    if (last > m_next) {
        const qint64 first = m_next;
        m_next = last;
        emit rowsReached(first, last - 1);
    }
    emit positionChanged(m_position);
    // Held at the end, showing the last row, until played again or stopped.
    if (m_next >= m_run->rowCount()) {
        m_paused = true;
        emit finished();
    }
}
