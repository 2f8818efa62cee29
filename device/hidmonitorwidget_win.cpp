// SPDX-License-Identifier: GPL-3.0-or-later
#include "hidmonitorwidget.h"

#include "singleshottimer.h"

#include <qt_windows.h>

#include <dbt.h>

void HidMonitorWidget::registerForNotifications()
{
    DEV_BROADCAST_DEVICEINTERFACE_W filter = {};
    filter.dbcc_size = sizeof(DEV_BROADCAST_DEVICEINTERFACE_W);
    filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    filter.dbcc_reserved = 0;
    filter.dbcc_classguid = m_classGuid;
    filter.dbcc_name[0] = 0;
    // The registration lives as long as the window, which lives as long as the process.
    RegisterDeviceNotificationW(
        reinterpret_cast<HANDLE>(winId()), &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
}

bool HidMonitorWidget::nativeEvent(
    const QByteArray &eventType, void *message, NativeEventResult *result)
{
    const MSG *msg = static_cast<const MSG *>(message);
    if (eventType != "windows_generic_MSG" || msg->message != WM_DEVICECHANGE)
        return QWidget::nativeEvent(eventType, message, result);

    SingleShotTimer *timer = nullptr;
    if (msg->wParam == DBT_DEVICEARRIVAL)
        timer = m_insertedTimer;
    else if (msg->wParam == DBT_DEVICEREMOVECOMPLETE)
        timer = m_removedTimer;
    if (!timer)
        return QWidget::nativeEvent(eventType, message, result);

    const auto *broadcast = reinterpret_cast<const DEV_BROADCAST_DEVICEINTERFACE_W *>(msg->lParam);
    if (broadcast->dbcc_devicetype != DBT_DEVTYP_DEVICEINTERFACE
        || QUuid(broadcast->dbcc_classguid) != m_classGuid)
        return QWidget::nativeEvent(eventType, message, result);

    noteDeviceChange(timer, QString::fromWCharArray(broadcast->dbcc_name));
    // Never consumed: other listeners of the window may want the message too.
    return QWidget::nativeEvent(eventType, message, result);
}
