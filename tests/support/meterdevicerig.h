// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef METERDEVICERIG_H
#define METERDEVICERIG_H

#include "commoncurrentusbdevice.h"
#include "metersimulator.h"

#include <QObject>
#include <QStringList>
#include <QTest>
#include <QVector>

// A CommonCurrentUSBDevice talking over a pseudo-terminal to a simulated meter,
// with what the device emits recorded. The device emits from its worker thread;
// the recorder lives on the test's thread, so the signals arrive queued and are
// only seen while the test waits (QTRY_*), never half-written.
class MeterDeviceRig
{
public:
    struct Triple
    {
        float voltage;
        float current;
        float power;
        bool operator==(const Triple &o) const
        {
            return voltage == o.voltage && current == o.current && power == o.power;
        }
    };

    MeterDeviceRig()
    {
        using Device = CommonCurrentUSBDevice;
        QObject::connect(
            &device, &Device::parameterChanged, &m_recorder, [this](float v, float c, float p) {
                triples.append({v, c, p});
            });
        QObject::connect(&device, &Device::currentCheckValueChanged, &m_recorder,
            [this](ushort value) { checkValues.append(value); });
        QObject::connect(&device, &Device::deviceOffline, &m_recorder, [this] { ++offline; });
        QObject::connect(&device, &Device::deviceOnline, &m_recorder, [this] { ++online; });
        meter.setProfile(LoadProfile::constant(5.0, 0.1, 0.5));
        meter.setCalibrationValue(0x1234);
    }

    bool start() { return meter.startOnPty(); }

    // What the port monitor does when the meter comes and goes.
    void plugIn()
    {
        QMetaObject::invokeMethod(&device, "onSerialFounded", Q_ARG(QString, meter.portName()),
            Q_ARG(QStringList, QStringList(device.productName())));
    }
    void unplug()
    {
        QMetaObject::invokeMethod(&device, "onSerialRemoved", Q_ARG(QString, meter.portName()));
    }

    // Within a second for a meter that answers at once; the margin is for loaded machines.
    bool goOnline()
    {
        const int before = online;
        plugIn();
        return QTest::qWaitFor([&] { return online == before + 1; }, 20000);
    }

    bool saw(const Triple &triple) const { return triples.contains(triple); }

    // One fault, for the next `limit` replies (negative: all of them).
    static MeterSimulator::Faults fault(bool MeterSimulator::Faults::*which, int limit = -1)
    {
        MeterSimulator::Faults faults;
        faults.*which = true;
        faults.faultLimit = limit;
        return faults;
    }

    // Declared first so that it goes last: the device closes its port before the line goes.
    MeterSimulator meter;
    CommonCurrentUSBDevice device;
    QVector<Triple> triples;
    QVector<ushort> checkValues;
    int online = 0;
    int offline = 0;

private:
    QObject m_recorder;
};

#endif // METERDEVICERIG_H
