// SPDX-License-Identifier: GPL-3.0-or-later
#include "hidmonitorwidget.h"

#include "singleshottimer.h"

// GUID_DEVINTERFACE_USB_DEVICE: every USB device interface, whatever its class.
static const QUuid usbDeviceInterfaceGuid(
    0xA5DCBF10, 0x6530, 0x11D2, 0x90, 0x1F, 0x00, 0xC0, 0x4F, 0xB9, 0x51, 0xED);

HidMonitorWidget::HidMonitorWidget(QWidget *parent)
    : QWidget(parent)
    , m_classGuid(usbDeviceInterfaceGuid)
{
    m_removedTimer
        = new SingleShotTimer(100, Qt::CoarseTimer, this, SIGNAL(deviceRemoved(const QString &)));
    m_insertedTimer
        = new SingleShotTimer(100, Qt::CoarseTimer, this, SIGNAL(deviceInserted(const QString &)));
    registerForNotifications();
}

void HidMonitorWidget::noteDeviceChange(SingleShotTimer *timer, const QString &devicePath)
{
    // Every path of a burst is kept: behind a hub or a dock the meter is one of several.
    timer->addExtendInfo(devicePath.toLower());
    timer->start();
}
