// SPDX-License-Identifier: GPL-3.0-or-later
#include "simulatedmeter.h"

#include "meterbench.h"

#include <QFile>

#include <unistd.h>

SimulatedMeter::SimulatedMeter(MeterBench &bench, const QString &serial)
    : m_bench(bench)
    , m_serial(serial)
{ }

SimulatedMeter::~SimulatedMeter() = default;

void SimulatedMeter::setProfile(const LoadProfile &profile)
{
    m_profile = profile;
}

void SimulatedMeter::setCalibrationValue(quint16 value)
{
    m_calibrationValue = value;
}

void SimulatedMeter::setFaults(const MeterSimulator::Faults &faults)
{
    m_faults = faults;
}

bool SimulatedMeter::plug()
{
    return plugUsbDevice() && plugTty();
}

bool SimulatedMeter::plugUsbDevice()
{
    if (m_plugged) {
        m_errorString = QStringLiteral("%1 is plugged in already").arg(m_serial);
        return false;
    }
    const QString ttyName = m_bench.nextTtyName();
    const UsbTestbed::SerialDevice device = m_bench.testbed().addUsbDevice(MeterBench::VendorId,
        MeterBench::ProductId, m_serial, ttyName, QStringLiteral("USB Current Meter"));
    if (device.usbSysPath.isEmpty()) {
        m_errorString = QStringLiteral("the emulated USB bus refused %1 (is this running under "
                                       "umockdev-wrapper?)")
                            .arg(ttyName);
        return false;
    }
    m_device = device;
    m_plugged = true;
    return true;
}

bool SimulatedMeter::plugTty()
{
    if (!m_plugged || m_device.isValid()) {
        m_errorString = QStringLiteral("%1 has no USB device waiting for a tty").arg(m_serial);
        return false;
    }
    // Made before the tty, so that its clock runs from before the tty's "add".
    std::unique_ptr<MeterSimulator> line = newLine();
    if (!m_bench.testbed().addTty(m_device)) {
        m_errorString = QStringLiteral("the emulated USB bus refused %1").arg(m_device.portName);
        pullOut();
        return false;
    }
    if (!line->start(m_device.hostFd)) {
        m_errorString = line->errorString();
        pullOut();
        return false;
    }
    m_line = std::move(line);
    return true;
}

void SimulatedMeter::unplug()
{
    if (!m_plugged)
        return;
    pullOut();
    // Pulled before its tty came: no line of this plug to silence.
    if (!m_device.isValid())
        return;
    // A pulled meter answers nothing, but its line still shows the program letting go.
    MeterSimulator::Faults gone;
    gone.silent = true;
    m_line->setFaults(gone);
}

void SimulatedMeter::vanish()
{
    if (!m_plugged || !m_device.isValid())
        return;
    m_line->stop();
    ::close(m_device.hostFd);
    m_device.hostFd = -1;
}

void SimulatedMeter::pullOut()
{
    m_bench.testbed().unplug(m_device);
    if (m_device.isValid())
        retireNode();
    m_plugged = false;
}

// The testbed keeps the /dev node of a removed device, and with it a way to open
// a meter that is gone: a port found just before the unplug would then be opened
// and handshaken with nobody. The kernel takes the node away, so opening fails
// at once. Deleting it would do the same, but umockdev's preload leaks a socket
// on every failed open of an emulated node; a node that is not a terminal fails
// the serial port's open just as promptly, and cleanly.
void SimulatedMeter::retireNode()
{
    const QString node = qEnvironmentVariable("UMOCKDEV_DIR") + m_device.devNode;
    QFile::remove(node);
    QFile::link(QStringLiteral("/dev/null"), node);
}

std::unique_ptr<MeterSimulator> SimulatedMeter::newLine() const
{
    auto line = std::make_unique<MeterSimulator>();
    line->setProfile(m_profile);
    line->setCalibrationValue(m_calibrationValue);
    line->setFaults(m_faults);
    return line;
}
