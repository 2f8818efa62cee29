// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef MEASUREMENT_H
#define MEASUREMENT_H

#include <QDateTime>

// One measurement as recorded: when it arrived, on the wall clock and as seconds
// since the run's first one, and the meter's three values.
struct Measurement
{
    QDateTime time;
    double elapsedSeconds = 0;
    double voltage = 0;
    double current = 0;
    double power = 0;
};

#endif // MEASUREMENT_H
