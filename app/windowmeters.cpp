// SPDX-License-Identifier: GPL-3.0-or-later
#include "windowmeters.h"

#include "commoncurrentusbdevice.h"
#include "measurementfeed.h"

#include <algorithm>

WindowMeters::WindowMeters(QObject *parent)
    : QObject(parent)
    , m_relay(new CommonCurrentUSBDevice(this))
{
    connect(&m_meters, &MeterSet::meterAdded, this, &WindowMeters::onMeterAdded);
    connect(&m_meters, &MeterSet::meterPlugged, this, &WindowMeters::onPresenceChanged);
    connect(&m_meters, &MeterSet::meterUnplugged, this, &WindowMeters::onPresenceChanged);
}

WindowMeters::~WindowMeters()
{
    // The devices' last closes must not reach the pages through the relay on the way out.
    for (const QMetaObject::Connection &connection : std::as_const(m_relayed))
        disconnect(connection);
}

void WindowMeters::start()
{
    m_meters.start();
}

void WindowMeters::onMeterAdded(const QString &meter, CommonCurrentUSBDevice *device)
{
    m_feeds.insert(meter, new MeasurementFeed(device, this));
    emit meterAdded(meter);
}

// The pages follow a meter that is there: with one meter at a time, the window takes whichever
// is plugged in, as it always did; a meter the user picked keeps the pages while it is there.
void WindowMeters::onPresenceChanged(const QString &meter)
{
    emit presenceChanged(meter);
    if (!m_picked.isEmpty() && isPresent(m_picked))
        return;
    const QStringList all = meters();
    const auto present = std::find_if(
        all.cbegin(), all.cend(), [this](const QString &other) { return isPresent(other); });
    if (isPresent(meter) || m_picked.isEmpty())
        pick(meter);
    else if (present != all.cend())
        pick(*present);
}

void WindowMeters::pick(const QString &meter)
{
    CommonCurrentUSBDevice *device = m_meters.device(meter);
    if (!device || meter == m_picked)
        return;
    const bool wasOnline = !m_picked.isEmpty() && feed(m_picked)->isOnline();
    m_picked = meter;
    relay(device);
    const bool online = feed(meter)->isOnline();
    if (wasOnline)
        emit m_relay->deviceOffline();
    if (online)
        emit m_relay->deviceOnline();
    else
        emit m_relay->parameterChanged(0, 0, 0);
    emit pickedChanged(meter);
}

void WindowMeters::relay(CommonCurrentUSBDevice *device)
{
    for (const QMetaObject::Connection &connection : std::as_const(m_relayed))
        disconnect(connection);
    CommonCurrentUSBDevice *to = m_relay;
    m_relayed = {
        connect(device, &CommonCurrentUSBDevice::parameterChanged, to,
            &CommonCurrentUSBDevice::parameterChanged),
        connect(device, &CommonCurrentUSBDevice::measured, to, &CommonCurrentUSBDevice::measured),
        connect(device, &CommonCurrentUSBDevice::deviceOnline, to,
            &CommonCurrentUSBDevice::deviceOnline),
        connect(device, &CommonCurrentUSBDevice::deviceOffline, to,
            &CommonCurrentUSBDevice::deviceOffline),
        connect(device, &CommonCurrentUSBDevice::deviceNotResponding, to,
            &CommonCurrentUSBDevice::deviceNotResponding),
        connect(device, &CommonCurrentUSBDevice::deviceResponding, to,
            &CommonCurrentUSBDevice::deviceResponding),
        connect(device, &USBSerialDevice::openFailed, to, &USBSerialDevice::openFailed),
    };
}
