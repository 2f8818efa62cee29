// SPDX-License-Identifier: GPL-3.0-or-later
#include "usbserialportmonitor_p.h"

#include <QDeadlineTimer>
#include <QTimer>

namespace {

// Windows registers the COM port of a freshly plugged meter some time after the USB
// arrival: seconds later, and longer still while it installs the driver the first time.
const int ArrivalSearchMs = 5000;
const int ArrivalSearchIntervalMs = 250;

void searchUntil(
    UsbSerialPortMonitorPrivate *monitor, const QString &devicePath, const QDeadlineTimer &deadline)
{
    QTimer::singleShot(ArrivalSearchIntervalMs, monitor, [monitor, devicePath, deadline] {
        if (!monitor->searchArrival(devicePath) && !deadline.hasExpired())
            searchUntil(monitor, devicePath, deadline);
    });
}

} // namespace

void UsbSerialPortMonitorPrivate::searchAgainLater(const QString &devicePath)
{
    searchUntil(this, devicePath, QDeadlineTimer(ArrivalSearchMs));
}
