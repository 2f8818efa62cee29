#include "meterbench.h"

#include "simulatedmeter.h"

MeterBench::MeterBench() = default;

MeterBench::~MeterBench() = default;

bool MeterBench::inMockEnvironment()
{
    return UsbTestbed::inMockEnvironment();
}

SimulatedMeter *MeterBench::addMeter(const QString &serial)
{
    m_meters.push_back(std::make_unique<SimulatedMeter>(*this, serial));
    return m_meters.back().get();
}

QString MeterBench::nextTtyName()
{
    return QStringLiteral("ttyACM%1").arg(m_nextTty++);
}
