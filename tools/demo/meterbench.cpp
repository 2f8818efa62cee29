// SPDX-License-Identifier: GPL-3.0-or-later
#include "meterbench.h"

#include "simulatedmeter.h"

#include <QFile>

MeterBench::MeterBench(int firstTtyNumber)
    : m_nextTty(firstTtyNumber)
{ }

MeterBench::~MeterBench() = default;

bool MeterBench::inMockEnvironment()
{
    // umockdev only asks whether a testbed has been made yet; what matters here,
    // before making one, is whether its preload library sits in this process.
    return qEnvironmentVariable("LD_PRELOAD").contains(QLatin1String("libumockdev-preload"));
}

SimulatedMeter *MeterBench::addMeter(const QString &serial)
{
    m_meters.push_back(std::make_unique<SimulatedMeter>(*this, serial));
    return m_meters.back().get();
}

QString MeterBench::nextTtyName()
{
    QString name;
    do
        name = QStringLiteral("ttyACM%1").arg(m_nextTty++);
    while (QFile::exists(QStringLiteral("/var/lock/LCK..") + name));
    return name;
}
