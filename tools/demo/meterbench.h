// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef METERBENCH_H
#define METERBENCH_H

#include "usbtestbed.h"

#include <QString>

#include <memory>
#include <vector>

class SimulatedMeter;

// The emulated USB bus that simulated meters are plugged into. It only works in
// a process started under umockdev-wrapper; every child that process starts
// (the program under test) sees the same bus through the inherited environment.
// Create it before the QApplication and before anything watches udev.
class MeterBench
{
public:
    // The current meter's USB identifiers, by which the program recognises it.
    static const quint16 VendorId = 0x303A;
    static const quint16 ProductId = 0x1001;

    // Ports are named from ttyACM<firstTtyNumber> on.
    explicit MeterBench(int firstTtyNumber = 0);
    ~MeterBench();
    MeterBench(const MeterBench &) = delete;
    MeterBench &operator=(const MeterBench &) = delete;

    // Whether the process runs under umockdev-wrapper; without it there is no bus.
    static bool inMockEnvironment();

    // A meter on this bench, not plugged in yet; the bench owns it.
    SimulatedMeter *addMeter(const QString &serial);

    UsbTestbed &testbed() { return m_testbed; }
    // ttyACM0, ttyACM1, ...: the testbed keeps every tty it has made, so a name
    // never comes back, as on a real system while the old one is still held.
    // QSerialPort locks a port by its name in the machine's real /var/lock, which
    // every emulated bus shares; names another process holds there are skipped,
    // or the program could not open its port.
    QString nextTtyName();

private:
    // Declared first so that it goes last: the meters' simulators serve its terminals.
    UsbTestbed m_testbed;
    std::vector<std::unique_ptr<SimulatedMeter>> m_meters;
    int m_nextTty;
};

#endif // METERBENCH_H
