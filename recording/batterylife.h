// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef BATTERYLIFE_H
#define BATTERYLIFE_H

// How long a battery keeps a device alive at the mean current measured: its capacity, of which
// only the usable fraction can be drawn before the device stops (cut-off, ageing, cold).
namespace BatteryLife {

// Hours; negative when the current is none, so no estimate can be made.
double hours(double capacityMah, double usableFraction, double meanAmperes);
// The mean current of a device that is active for activeFraction of the time and asleep for the
// rest, from the mean of an active stretch and the mean of a sleeping one.
double blendedAmperes(double activeAmperes, double sleepAmperes, double activeFraction);

} // namespace BatteryLife

#endif // BATTERYLIFE_H
