#include "usbtestbed.h"

#include <QSet>
#include <QVector>

#include <umockdev.h>

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

    GError *error = nullptr;
    if (!umockdev_testbed_add_from_string(d->testbed, record.constData(), &error)) {
        qWarning("addUsbSerial: %s", error ? error->message : "unknown error");
        g_clear_error(&error);
        return device;
    }

    device.ttySysPath = device.usbSysPath + "/" + interfaceName + "/tty/" + ttyName;
    device.portName = ttyName;
    device.devNode = QStringLiteral("/dev/") + ttyName;
    device.hostFd = hostFd(device.devNode);
    return device;
}

void UsbTestbed::uevent(const QString &sysPath, const QString &action)
{
    umockdev_testbed_uevent(d->testbed, sysPath.toUtf8().constData(), action.toUtf8().constData());
}

void UsbTestbed::removeDevice(const QString &sysPath)
{
    umockdev_testbed_remove_device(d->testbed, sysPath.toUtf8().constData());
}

void UsbTestbed::unplug(const SerialDevice &device)
{
    remove(device);
    removeDevice(device.usbSysPath);
}

int UsbTestbed::hostFd(const QString &devNode) const
{
    return umockdev_testbed_get_dev_fd(d->testbed, devNode.toUtf8().constData());
}
