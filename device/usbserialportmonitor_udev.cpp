// SPDX-License-Identifier: GPL-3.0-or-later
#include "usbserialportmonitor_p.h"

// udev announces a USB serial port's tty once it exists, and that announcement runs the
// search again by itself: there is nothing to wait for here.
void UsbSerialPortMonitorPrivate::searchAgainLater(const QString &devicePath)
{
    Q_UNUSED(devicePath)
}
