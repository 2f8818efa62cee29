// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef EXITSTATUS_H
#define EXITSTATUS_H

// What a script or a CI job learns from how ammeter-log ended.
namespace ExitStatus {

enum {
    Ok = 0,
    OutputError = 1, // the recording or the picture cannot be written
    NoMeter = 2, // no meter answered within --wait
    LimitExceeded = 3, // --max-current or --max-power
    Unplugged = 4, // --exit-on-unplug
    Usage = 64, // as sysexits.h has it
};

} // namespace ExitStatus

#endif // EXITSTATUS_H
