// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef USBTESTBED_H
#define USBTESTBED_H

#include <QString>
#include <QtGlobal>

#include <memory>

class QDateTime;

// Emulated USB serial devices for a process running under umockdev-wrapper: the
// real code paths (QSerialPortInfo::availablePorts(), a libudev monitor,
// QSerialPort on the tty) see them as if they were plugged in.
//
// Things that bite:
// - Create the testbed before QApplication and before any udev monitor exists
//   (so before the first UsbSerialPortMonitor::instance()); no other order has
//   been seen to work.
// - Adding a device already sends a udev "add" of its own. A second one from
//   add() is harmless to a listener that debounces, but shows up when events are
//   counted.
// - A /dev node's pseudo-terminal stays registered for the testbed's whole life,
//   even after removeDevice(); plugging a tty of the same name again would abort
//   inside umockdev. Give each re-plug a fresh node name (ttyACM0, ttyACM1, ...),
//   as a real system does while the old name is still held. addUsbSerial()
//   refuses a name it has already used.
// - While nobody has the tty open, reading the host end fails with EIO: keep
//   polling, it is not an error.
// - Send "remove" before removeDevice(): the event is built from the device's
//   sysfs entry, which removeDevice() deletes.
class UsbTestbed
{
public:
    struct SerialDevice
    {
        QString usbSysPath; // the usb_device; udev events for the meter go here
        QString ttySysPath;
        QString devNode; // e.g. "/dev/ttyACM0"
        QString portName; // e.g. "ttyACM0", as QSerialPortInfo names it
        int hostFd = -1; // the far end of the tty: read what the program wrote, write its input

        bool isValid() const { return hostFd >= 0; }
    };

    UsbTestbed();
    ~UsbTestbed();
    UsbTestbed(const UsbTestbed &) = delete;
    UsbTestbed &operator=(const UsbTestbed &) = delete;

    // False when the process was not started under umockdev-wrapper; nothing is emulated then.
    static bool inMockEnvironment();

    // A USB device with one interface and a CDC-ACM tty under it, identified by
    // vendor and product id (the tty's ID_VENDOR_ID, ID_MODEL_ID, ID_SERIAL_SHORT
    // and the device's idVendor, idProduct, serial). An empty serial leaves the
    // device without one. Invalid result for a reused or empty tty name.
    SerialDevice addUsbSerial(quint16 vendorId, quint16 productId, const QString &serial,
        const QString &ttyName, const QString &model = QStringLiteral("USB Meter"));
    // The same in two steps, in the order the kernel announces a real plug: the
    // USB device and its interface first (the result names its tty-to-be but is
    // not valid yet; empty usbSysPath on failure), the tty once the driver has
    // bound, which makes the device valid. Each step sends its own "add"s.
    SerialDevice addUsbDevice(quint16 vendorId, quint16 productId, const QString &serial,
        const QString &ttyName, const QString &model = QStringLiteral("USB Meter"));
    bool addTty(SerialDevice &device);

    // Sends a udev event ("add", "remove", "change") for a device in the testbed.
    void uevent(const QString &sysPath, const QString &action);
    void add(const SerialDevice &device) { uevent(device.usbSysPath, QStringLiteral("add")); }
    void remove(const SerialDevice &device) { uevent(device.usbSysPath, QStringLiteral("remove")); }

    // Deletes the device and everything under it from the emulated /sys and /dev, silently.
    void removeDevice(const QString &sysPath);
    // What pulling the plug looks like: "remove" for the tty (if it came) and the
    // USB device, then removeDevice().
    void unplug(const SerialDevice &device);

    // The far end of a tty node, e.g. "/dev/ttyACM0"; -1 when there is none.
    int hostFd(const QString &devNode) const;

    // Whether a udev monitor, in this process or a child, has started listening
    // since `time`: how to tell that a program started on the bus is watching it.
    bool hasListenerSince(const QDateTime &time) const;

private:
    struct Private;
    std::unique_ptr<Private> d;
};

#endif // USBTESTBED_H
