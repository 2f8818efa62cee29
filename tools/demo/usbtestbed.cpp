// SPDX-License-Identifier: GPL-3.0-or-later
#include "usbtestbed.h"

// Ahead of Qt's object headers, whose "signals" keyword glib's headers use as a name.
#include <umockdev.h>

#include <QDateTime>
#include <QDir>
#include <QHash>
#include <QSet>
#include <QVector>

#include <algorithm>

namespace {

QByteArray hex4(quint16 id)
{
    return QByteArray::number(id, 16).rightJustified(4, '0');
}

struct GFreeString
{
    explicit GFreeString(gchar *s)
        : value(QString::fromUtf8(s))
    {
        g_free(s);
    }
    QString value;
};

} // namespace

struct UsbTestbed::Private
{
    UMockdevTestbed *testbed = nullptr;
    QSet<QString> usedTtyNames;
    // ttySysPath to the tty's record, for USB devices whose tty is still to come.
    QHash<QString, QByteArray> pendingTtys;
    int nextBusPort = 1;
    int nextMinor = 0;
};

UsbTestbed::UsbTestbed()
    : d(new Private)
{
    d->testbed = umockdev_testbed_new();
}

UsbTestbed::~UsbTestbed()
{
    g_object_unref(d->testbed);
}

bool UsbTestbed::inMockEnvironment()
{
    return umockdev_in_mock_environment();
}

UsbTestbed::SerialDevice UsbTestbed::addUsbSerial(quint16 vendorId, quint16 productId,
    const QString &serial, const QString &ttyName, const QString &model)
{
    SerialDevice device = addUsbDevice(vendorId, productId, serial, ttyName, model);
    if (!device.usbSysPath.isEmpty())
        addTty(device);
    return device;
}

UsbTestbed::SerialDevice UsbTestbed::addUsbDevice(quint16 vendorId, quint16 productId,
    const QString &serial, const QString &ttyName, const QString &model)
{
    SerialDevice device;
    if (ttyName.isEmpty() || d->usedTtyNames.contains(ttyName))
        return device;
    d->usedTtyNames.insert(ttyName);

    const QByteArray vid = hex4(vendorId);
    const QByteArray pid = hex4(productId);
    const QByteArray serialText = serial.toUtf8();
    const QByteArray usbName = "1-" + QByteArray::number(d->nextBusPort++);
    const QByteArray interfaceName = usbName + ":1.0";

    QList<QByteArray> attributes {"idVendor", vid, "idProduct", pid};
    QList<QByteArray> properties {"DEVTYPE", "usb_device", "ID_VENDOR_ID", vid, "ID_MODEL_ID", pid,
        "ID_MODEL", model.toUtf8()};
    if (!serial.isEmpty()) {
        attributes << "serial" << serialText;
        properties << "ID_SERIAL_SHORT" << serialText;
    }
    auto toStrv = [](const QList<QByteArray> &list) {
        QVector<gchar *> strv;
        for (const QByteArray &item : list)
            strv << const_cast<gchar *>(item.constData());
        strv << nullptr;
        return strv;
    };
    QVector<gchar *> attributeStrv = toStrv(attributes);
    QVector<gchar *> propertyStrv = toStrv(properties);
    device.usbSysPath
        = GFreeString(umockdev_testbed_add_devicev(d->testbed, "usb", usbName.constData(), nullptr,
                          attributeStrv.data(), propertyStrv.data()))
              .value;
    if (device.usbSysPath.isEmpty())
        return device;

    GFreeString(umockdev_testbed_add_device(d->testbed, "usb", interfaceName.constData(),
        device.usbSysPath.toUtf8().constData(), "bInterfaceNumber", "00", "bInterfaceClass", "02",
        nullptr, "DEVTYPE", "usb_interface", nullptr));

    const QByteArray tty = ttyName.toUtf8();
    QByteArray record = "P: /devices/" + usbName + "/" + interfaceName + "/tty/" + tty + "\n"
        + "N: " + tty + "\n" + "E: SUBSYSTEM=tty\n" + "E: DEVNAME=/dev/" + tty + "\n"
        + "E: MAJOR=166\n" + "E: MINOR=" + QByteArray::number(d->nextMinor++) + "\n"
        + "E: ID_BUS=usb\n" + "E: ID_VENDOR_ID=" + vid + "\n" + "E: ID_MODEL_ID=" + pid + "\n"
        + "E: ID_MODEL=" + model.toUtf8() + "\n" + "E: ID_VENDOR=Emulated\n";
    if (!serial.isEmpty())
        record += "E: ID_SERIAL_SHORT=" + serialText + "\n";

    device.ttySysPath = device.usbSysPath + "/" + interfaceName + "/tty/" + ttyName;
    device.portName = ttyName;
    device.devNode = QStringLiteral("/dev/") + ttyName;
    d->pendingTtys.insert(device.ttySysPath, record);
    return device;
}

bool UsbTestbed::addTty(SerialDevice &device)
{
    const QByteArray record = d->pendingTtys.take(device.ttySysPath);
    if (record.isEmpty())
        return false;
    GError *error = nullptr;
    if (!umockdev_testbed_add_from_string(d->testbed, record.constData(), &error)) {
        qWarning("addTty: %s", error ? error->message : "unknown error");
        g_clear_error(&error);
        return false;
    }
    device.hostFd = hostFd(device.devNode);
    return device.isValid();
}

void UsbTestbed::uevent(const QString &sysPath, const QString &action)
{
    umockdev_testbed_uevent(d->testbed, sysPath.toUtf8().constData(), action.toUtf8().constData());
}

void UsbTestbed::removeDevice(const QString &sysPath)
{
    umockdev_testbed_remove_device(d->testbed, sysPath.toUtf8().constData());
    // A tty still to come goes with its USB device.
    const QString under = sysPath + QLatin1Char('/');
    for (auto it = d->pendingTtys.begin(); it != d->pendingTtys.end();) {
        if (it.key().startsWith(under))
            it = d->pendingTtys.erase(it);
        else
            ++it;
    }
}

void UsbTestbed::unplug(const SerialDevice &device)
{
    // In the kernel's order: the tty goes before its USB device.
    if (device.isValid())
        uevent(device.ttySysPath, QStringLiteral("remove"));
    remove(device);
    removeDevice(device.usbSysPath);
}

int UsbTestbed::hostFd(const QString &devNode) const
{
    return umockdev_testbed_get_dev_fd(d->testbed, devNode.toUtf8().constData());
}

bool UsbTestbed::hasListenerSince(const QDateTime &time) const
{
    // umockdev stands in for each udev netlink socket with a socket file in its
    // root, made when the monitor binds; a name may come back, hence the time.
    const QDir root(GFreeString(umockdev_testbed_get_root_dir(d->testbed)).value);
    const QFileInfoList sockets = root.entryInfoList({QStringLiteral("event*")}, QDir::System);
    return std::any_of(sockets.cbegin(), sockets.cend(),
        [&](const QFileInfo &socket) { return socket.lastModified() >= time; });
}
