// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef DEVICEPATH_H
#define DEVICEPATH_H

#include <QString>
#include <QtGlobal>

// The key under which a USB product is known: vendor id in the high half, product id in the low.
quint32 usbIdentifierKey(quint32 vendorId, quint32 productId);

// Reads the key and the serial number out of a USB device interface path such as
// "\\?\usb#vid_303a&pid_1001#0123456789ab#{a5dcbf10-6530-11d2-901f-00c04fb951ed}".
// Paths are expected lower-cased. serial is left untouched when the path carries none.
bool parseDevicePath(const QString &devicePath, quint32 &vidPid, QString &serial);

#endif // DEVICEPATH_H
