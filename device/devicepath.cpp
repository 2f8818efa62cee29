// SPDX-License-Identifier: GPL-3.0-or-later
#include "devicepath.h"

#include <QStringList>

quint32 usbIdentifierKey(quint32 vendorId, quint32 productId)
{
    return (vendorId << 16) + (productId & 0xFFFF);
}

static quint32 readHexId(QString piece, const QString &prefix)
{
    // An id that does not read counts as 0, which the callers then ignore.
    return piece.remove(prefix).toUInt(nullptr, 16);
}

bool parseDevicePath(const QString &devicePath, quint32 &vidPid, QString &serial)
{
    const QStringList parts = devicePath.split(QLatin1Char('#'), Qt::KeepEmptyParts);
    int idIndex = -1;
    for (int i = 0; i < parts.size(); ++i) {
        if (parts.at(i).toLower().contains(QLatin1String("vid"))) {
            idIndex = i;
            break;
        }
    }
    if (idIndex < 0)
        return false;

    // A third piece (an interface number, "&mi_00") marks a composite child, not the device.
    const QStringList ids = parts.at(idIndex).split(QLatin1Char('&'), Qt::KeepEmptyParts);
    if (ids.size() != 2)
        return false;

    const quint32 vendorId = readHexId(ids.at(0), QStringLiteral("vid_"));
    const quint32 productId = readHexId(ids.at(1), QStringLiteral("pid_"));
    vidPid = usbIdentifierKey(vendorId, productId);
    if (idIndex + 1 < parts.size())
        serial = parts.at(idIndex + 1);
    return true;
}
