// SPDX-License-Identifier: GPL-3.0-or-later
#include "hidmonitorwidget.h"

#include "singleshottimer.h"

#include <QDebug>
#include <QSocketNotifier>

#include <libudev.h>

static QString deviceValue(udev_device *device, const char *property, const char *attribute)
{
    const char *value = udev_device_get_property_value(device, property);
    // A removed device has no sysfs left, but its event still carries the properties.
    if (!value)
        value = udev_device_get_sysattr_value(device, attribute);
    return QString::fromUtf8(value);
}

// The same path Windows hands over for GUID_DEVINTERFACE_USB_DEVICE, so that
// everything downstream of this widget stays platform-neutral.
static QString windowsStylePath(udev_device *device, const QUuid &classGuid)
{
    const QString vendorId = deviceValue(device, "ID_VENDOR_ID", "idVendor");
    const QString productId = deviceValue(device, "ID_MODEL_ID", "idProduct");
    const QString serial = deviceValue(device, "ID_SERIAL_SHORT", "serial");
    QStringList parts {
        QStringLiteral("\\\\?\\usb"), QStringLiteral("vid_%1&pid_%2").arg(vendorId, productId)};
    if (!serial.isEmpty())
        parts << serial;
    parts << classGuid.toString(QUuid::WithBraces);
    return parts.join(QLatin1Char('#')).toLower();
}

// The kernel makes a USB serial port's tty only once its driver has bound to the
// interface, and udev announces it only after its rules have run: on a busy
// machine well after the debounced search for the USB device has missed it. A
// new USB-parented tty therefore speaks for its USB device, so the search runs
// again once the port can be found. A tty's removal is left to the removal of its
// USB device, which follows it; ttys of other buses are none of our business.
static udev_device *usbDeviceOf(udev_device *device, const QByteArray &action)
{
    if (qstrcmp(udev_device_get_subsystem(device), "tty") != 0)
        return device;
    if (action != "add")
        return nullptr;
    return udev_device_get_parent_with_subsystem_devtype(device, "usb", "usb_device");
}

void HidMonitorWidget::registerForNotifications()
{
    m_udev = udev_new();
    if (m_udev)
        m_udevMonitor = udev_monitor_new_from_netlink(m_udev, "udev");
    if (!m_udevMonitor) {
        qDebug() << "registerForNotifications"
                 << "no udev monitor: USB plug and unplug go unnoticed";
        return;
    }
    udev_monitor_filter_add_match_subsystem_devtype(m_udevMonitor, "usb", "usb_device");
    udev_monitor_filter_add_match_subsystem_devtype(m_udevMonitor, "tty", nullptr);
    udev_monitor_enable_receiving(m_udevMonitor);

    m_udevNotifier
        = new QSocketNotifier(udev_monitor_get_fd(m_udevMonitor), QSocketNotifier::Read, this);
    connect(m_udevNotifier, &QSocketNotifier::activated, this, &HidMonitorWidget::onUdevEvent);
}

void HidMonitorWidget::onUdevEvent()
{
    udev_device *device = udev_monitor_receive_device(m_udevMonitor);
    if (!device)
        return;

    const QByteArray action = udev_device_get_action(device);
    SingleShotTimer *timer = nullptr;
    if (action == "add")
        timer = m_insertedTimer;
    else if (action == "remove")
        timer = m_removedTimer;
    udev_device *usbDevice = timer ? usbDeviceOf(device, action) : nullptr;
    if (usbDevice)
        noteDeviceChange(timer, windowsStylePath(usbDevice, m_classGuid));
    udev_device_unref(device);
}
