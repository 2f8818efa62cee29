// SPDX-License-Identifier: GPL-3.0-or-later
#include "batterylife.h"

double BatteryLife::hours(double capacityMah, double usableFraction, double meanAmperes)
{
    if (!(meanAmperes > 0))
        return -1;
    return capacityMah * usableFraction / (meanAmperes * 1000);
}

double BatteryLife::blendedAmperes(double activeAmperes, double sleepAmperes, double activeFraction)
{
    return activeAmperes * activeFraction + sleepAmperes * (1 - activeFraction);
}
