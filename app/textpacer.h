// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef TEXTPACER_H
#define TEXTPACER_H

#include <QElapsedTimer>
#include <QTimer>

#include <functional>

// Shows texts that change with every measurement at a pace a person reads rather than ten times
// a second: each new layout of a line costs more than the measurement behind it. A change asked
// for soon after the last showing waits for the rest of the interval and is then shown with
// whatever is newest by then, so nothing is shown later than the interval after it came. A
// change that must be seen at once (a reset, a meter gone) is shown at once.
class TextPacer
{
public:
    static const int IntervalMs = 500;

    explicit TextPacer(std::function<void()> show);

    void soon();
    void now();

private:
    std::function<void()> m_show;
    QTimer m_wait;
    QElapsedTimer m_shown;
};

#endif // TEXTPACER_H
