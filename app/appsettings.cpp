// SPDX-License-Identifier: GPL-3.0-or-later
#include "appsettings.h"

#include "quantitycolours.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSettings>
#include <QSignalBlocker>
#include <QStandardPaths>

namespace {

const char *const SkinKey = "skinIndex";
const char *const PersonalityKey = "personalityColor";
const char *const FolderKey = "recordingsFolder";
const char *const FormatKey = "recordingFormat";
const char *const StopKindKey = "stopCondition";
const char *const StopThresholdKey = "stopThreshold";
const char *const StopHoldKey = "stopHoldSeconds";
const char *const CapacityKey = "batteryCapacityMah";
const char *const UsableKey = "batteryUsablePercent";
const char *const StopKinds[] = {"none", "voltage", "current", "charge", "energy"};
// Far more than any battery or hold; a larger value is a typing slip.
constexpr double MaximumAmount = 1e9;
constexpr double MaximumHoldSeconds = 3600;
const char *const CurveSecondsKey = "curveSecondsPerWidth";
const char *const ReduceMotionKey = "reduceMotion";
const char *const MqttEnabledKey = "mqttEnabled";
const char *const MqttUrlKey = "mqttUrl";
const char *const MqttPasswordFileKey = "mqttPasswordFile";
const char *const MqttCaFileKey = "mqttCaFile";

// An hour across the screen is already a ten-pixel-a-minute smear; more is a typing slip.
constexpr int MaximumCurveSeconds = 3600;

bool isFormat(const QString &format)
{
    return format == QLatin1String("csv") || format == QLatin1String("jsonl");
}

} // namespace

AppSettings::AppSettings(QSettings *store, QObject *parent)
    : QObject(parent)
    , m_store(store)
{ }

int AppSettings::skinIndex() const
{
    const QString value = text(SkinKey);
    bool isNumber = false;
    const int index = value.toInt(&isNumber);
    if (isNumber && index >= 0 && index < SkinCount)
        return index;
    if (!value.isEmpty())
        fallBack(SkinKey, value, QString::number(DefaultSkin));
    return DefaultSkin;
}

void AppSettings::setSkinIndex(int index)
{
    if (index >= 0 && index < SkinCount)
        store(SkinKey, index);
}

bool AppSettings::personalityColor() const
{
    return flag(PersonalityKey, false);
}

void AppSettings::setPersonalityColor(bool on)
{
    store(PersonalityKey, on);
}

QColor AppSettings::colour(Quantity quantity) const
{
    const QString value = text(colourKey(quantity));
    static const QRegularExpression rgb(QStringLiteral("^#[0-9A-Fa-f]{6}$"));
    if (rgb.match(value).hasMatch())
        return QColor(value);
    const QColor fallback = defaultColour(quantity);
    if (!value.isEmpty())
        fallBack(colourKey(quantity), value, fallback.name());
    return fallback;
}

void AppSettings::setColour(Quantity quantity, const QColor &colour)
{
    if (colour.isValid())
        store(colourKey(quantity), colour.name());
}

// The one place the folder is read: the recording, "保存", the playback dialogs and the settings
// dialog all show and use the same. A folder not made yet, whose parent is there, is made by the
// first recording; whatever else stands in its place is named by the recording's error. Only a
// folder whose parent has gone too (a drive no longer there) gives the default.
QString AppSettings::recordingsFolder() const
{
    const QString value = QDir::fromNativeSeparators(text(FolderKey).trimmed());
    if (!value.isEmpty() && (QFileInfo::exists(value) || QFileInfo(value).dir().exists()))
        return value;
    const QString fallback = defaultRecordingsFolder();
    if (!value.isEmpty())
        fallBack(FolderKey, value, fallback);
    return fallback;
}

void AppSettings::setRecordingsFolder(const QString &folder)
{
    if (!folder.isEmpty())
        store(FolderKey, QDir::cleanPath(folder));
}

QString AppSettings::recordingFormat() const
{
    const QString value = text(FormatKey);
    if (isFormat(value))
        return value;
    if (!value.isEmpty())
        fallBack(FormatKey, value, QStringLiteral("csv"));
    return QStringLiteral("csv");
}

void AppSettings::setRecordingFormat(const QString &format)
{
    if (isFormat(format))
        store(FormatKey, format);
}

StopCondition AppSettings::stopCondition() const
{
    const QString kind = text(StopKindKey);
    for (int i = StopCondition::VoltageBelow; i <= StopCondition::EnergyAt; ++i) {
        if (kind == QLatin1String(StopKinds[i]))
            return StopCondition(StopCondition::Kind(i),
                number(StopThresholdKey, 0, 0, MaximumAmount),
                number(StopHoldKey, StopCondition::DefaultHoldSeconds, 0, MaximumHoldSeconds));
    }
    if (!kind.isEmpty() && kind != QLatin1String(StopKinds[0]))
        fallBack(StopKindKey, kind, QLatin1String(StopKinds[0]));
    return StopCondition();
}

void AppSettings::setStopCondition(const StopCondition &condition)
{
    // One change, told once: the three keys describe one choice.
    QSignalBlocker blocker(this);
    store(StopThresholdKey, condition.threshold());
    store(StopHoldKey, condition.holdSeconds());
    blocker.unblock();
    store(StopKindKey, QLatin1String(StopKinds[condition.kind()]));
}

double AppSettings::batteryCapacityMah() const
{
    return number(CapacityKey, 2000, 0.001, MaximumAmount);
}

void AppSettings::setBatteryCapacityMah(double capacity)
{
    if (capacity > 0 && capacity <= MaximumAmount)
        store(CapacityKey, capacity);
}

double AppSettings::batteryUsableFraction() const
{
    return number(UsableKey, 100, 1, 100) / 100;
}

void AppSettings::setBatteryUsableFraction(double fraction)
{
    if (fraction > 0 && fraction <= 1)
        store(UsableKey, fraction * 100);
}

int AppSettings::curveSecondsPerWidth() const
{
    const QString value = text(CurveSecondsKey);
    bool isNumber = false;
    const int seconds = value.toInt(&isNumber);
    if (isNumber && seconds >= 0 && seconds <= MaximumCurveSeconds)
        return seconds;
    if (!value.isEmpty())
        fallBack(CurveSecondsKey, value, QStringLiteral("0"));
    return 0;
}

void AppSettings::setCurveSecondsPerWidth(int seconds)
{
    if (seconds >= 0 && seconds <= MaximumCurveSeconds)
        store(CurveSecondsKey, seconds);
}

bool AppSettings::reduceMotion() const
{
    return flag(ReduceMotionKey, false);
}

void AppSettings::setReduceMotion(bool on)
{
    store(ReduceMotionKey, on);
}

bool AppSettings::mqttEnabled() const
{
    return flag(MqttEnabledKey, false);
}

void AppSettings::setMqttEnabled(bool on)
{
    store(MqttEnabledKey, on);
}

// Checked where it is used: a malformed address turns publishing off with a message there.
QString AppSettings::mqttUrl() const
{
    return text(MqttUrlKey);
}

void AppSettings::setMqttUrl(const QString &url)
{
    store(MqttUrlKey, url.trimmed());
}

QString AppSettings::mqttPasswordFile() const
{
    return text(MqttPasswordFileKey);
}

void AppSettings::setMqttPasswordFile(const QString &fileName)
{
    store(MqttPasswordFileKey, fileName.trimmed());
}

QString AppSettings::mqttCaFile() const
{
    return text(MqttCaFileKey);
}

void AppSettings::setMqttCaFile(const QString &fileName)
{
    store(MqttCaFileKey, fileName.trimmed());
}

QString AppSettings::defaultRecordingsFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)
        + QStringLiteral("/Ammeter");
}

QColor AppSettings::defaultColour(Quantity quantity)
{
    const QuantityColours colours = QuantityColours::distinguishable();
    switch (quantity) {
    case Quantity::Voltage:
        return colours.voltage;
    case Quantity::Current:
        return colours.current;
    case Quantity::Power:
        break;
    }
    return colours.power;
}

int AppSettings::maximumCurveSeconds()
{
    return MaximumCurveSeconds;
}

QString AppSettings::meterName(const QString &meter) const
{
    return text(meterNameKey(meter).constData());
}

void AppSettings::setMeterName(const QString &meter, const QString &name)
{
    store(meterNameKey(meter).constData(), name.trimmed());
}

// A port's name such as "pts/5" stays one key, not a group.
QByteArray AppSettings::meterNameKey(const QString &meter)
{
    return "meterNames/" + QString(meter).replace(QLatin1Char('/'), QLatin1Char('_')).toUtf8();
}

QString AppSettings::text(const char *key) const
{
    if (!m_store)
        return QString();
    const QVariant value = m_store->value(QLatin1String(key));
    // A hand-written comma makes a list of the value; joined again it is reported as written.
    if (value.userType() == QMetaType::QStringList)
        return value.toStringList().join(QLatin1Char(',')).trimmed();
    return value.toString().trimmed();
}

bool AppSettings::flag(const char *key, bool fallback) const
{
    const QString value = text(key);
    if (value == QLatin1String("true") || value == QLatin1String("false"))
        return value == QLatin1String("true");
    if (!value.isEmpty())
        fallBack(key, value, fallback ? QStringLiteral("true") : QStringLiteral("false"));
    return fallback;
}

double AppSettings::number(const char *key, double fallback, double least, double most) const
{
    const QString value = text(key);
    bool isNumber = false;
    const double parsed = value.toDouble(&isNumber);
    if (isNumber && parsed >= least && parsed <= most)
        return parsed;
    if (!value.isEmpty())
        fallBack(key, value, QString::number(fallback));
    return fallback;
}

void AppSettings::store(const char *key, const QVariant &value)
{
    if (!m_store)
        return;
    m_store->setValue(QLatin1String(key), value);
    // At once, not at the next pass of the event loop: the title bar's close button ends the
    // process on the spot.
    m_store->sync();
    emit changed(QLatin1String(key));
}

void AppSettings::fallBack(const char *key, const QString &value, const QString &fallback)
{
    qDebug() << "AppSettings" << key << "cannot use" << value << "and falls back to" << fallback;
}

const char *AppSettings::colourKey(Quantity quantity)
{
    switch (quantity) {
    case Quantity::Voltage:
        return "voltageColor";
    case Quantity::Current:
        return "currentColor";
    case Quantity::Power:
        break;
    }
    return "powerColor";
}
