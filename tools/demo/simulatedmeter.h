// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef SIMULATEDMETER_H
#define SIMULATEDMETER_H

#include "loadprofile.h"
#include "metersimulator.h"
#include "usbtestbed.h"

#include <QString>

#include <memory>

class MeterBench;

// A simulated current meter that can be plugged into the bench and pulled out
// again as often as wanted. Each plug is a new USB device on a fresh ttyACM node,
// served by a fresh simulator set up from what was set here. After an unplug
// that simulator answers nothing more but keeps watching its line until the
// next plug, so it sees when the program lets go of the port.
class SimulatedMeter
{
public:
    SimulatedMeter(MeterBench &bench, const QString &serial);
    ~SimulatedMeter();
    SimulatedMeter(const SimulatedMeter &) = delete;
    SimulatedMeter &operator=(const SimulatedMeter &) = delete;

    QString serial() const { return m_serial; }

    // Taken up by the next plug.
    void setProfile(const LoadProfile &profile);
    void setCalibrationValue(quint16 value);
    void setFaults(const MeterSimulator::Faults &faults);

    // False, with errorString() saying why, when the meter is plugged in already
    // or the emulated bus refuses the device.
    bool plug();
    // plug() in the two steps the kernel announces: the USB device with its
    // interface, then, as late as wanted, the tty, which only then gets a fresh
    // simulator. In between the meter is plugged in but has no port.
    bool plugUsbDevice();
    bool plugTty();
    void unplug();
    // What a hub losing power looks like to the program: the tty's far end goes and no
    // removal event comes. The meter counts as plugged in until unplug().
    void vanish();
    bool isPlugged() const { return m_plugged; }
    QString errorString() const { return m_errorString; }

    // The tty of the current or the last plug, e.g. "ttyACM3"; empty before the first.
    QString portName() const { return m_device.portName; }
    // The simulator of the current or the last plug's tty; null before the first.
    MeterSimulator *line() const { return m_line.get(); }

private:
    std::unique_ptr<MeterSimulator> newLine() const;
    void pullOut();
    void retireNode();

    MeterBench &m_bench;
    const QString m_serial;
    LoadProfile m_profile = LoadProfile::bench();
    quint16 m_calibrationValue = 1000;
    MeterSimulator::Faults m_faults;

    UsbTestbed::SerialDevice m_device;
    std::unique_ptr<MeterSimulator> m_line;
    bool m_plugged = false;
    QString m_errorString;
};

#endif // SIMULATEDMETER_H
