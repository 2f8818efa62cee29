// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef APPSETTINGS_H
#define APPSETTINGS_H

#include <QColor>
#include <QObject>
#include <QString>

#include "stopcondition.h"

class QSettings;

// The choices a user makes once, typed, in "Settings.ini". Users and administrators edit the
// file by hand, so every read checks its value: one that does not parse, or no longer fits
// (an unknown skin, a folder that has gone), gives that key's default alone and a debug line
// naming the key, and the program starts as usual. Every change is written at once.
class AppSettings : public QObject
{
    Q_OBJECT

public:
    static const int DefaultSkin = 15;
    static const int SkinCount = 16;

    enum class Quantity { Voltage, Current, Power };
    Q_ENUM(Quantity)

    // Without a store (something other than a file in its place) the defaults are given and
    // nothing is remembered.
    explicit AppSettings(QSettings *store, QObject *parent = nullptr);

    int skinIndex() const;
    void setSkinIndex(int index);
    bool personalityColor() const;
    void setPersonalityColor(bool on);
    QColor colour(Quantity quantity) const;
    void setColour(Quantity quantity, const QColor &colour);
    QString recordingsFolder() const;
    void setRecordingsFolder(const QString &folder);
    QString recordingFormat() const;
    void setRecordingFormat(const QString &format);
    // What ends a recording by itself; StopCondition::None by default.
    StopCondition stopCondition() const;
    void setStopCondition(const StopCondition &condition);
    // The battery the estimates are for: its capacity and the fraction of it that can be drawn.
    double batteryCapacityMah() const;
    void setBatteryCapacityMah(double capacity);
    double batteryUsableFraction() const;
    void setBatteryUsableFraction(double fraction);
    int curveSecondsPerWidth() const;
    void setCurveSecondsPerWidth(int seconds);
    bool reduceMotion() const;
    void setReduceMotion(bool on);
    // Publishing to an MQTT broker, as ammeter-log --mqtt does.
    bool mqttEnabled() const;
    void setMqttEnabled(bool on);
    QString mqttUrl() const;
    void setMqttUrl(const QString &url);
    QString mqttPasswordFile() const;
    void setMqttPasswordFile(const QString &fileName);
    // The CA certificate an mqtts:// broker is checked against; empty: the system's.
    QString mqttCaFile() const;
    void setMqttCaFile(const QString &fileName);

    // The name the user gave a meter, known by its serial number; empty: none given.
    QString meterName(const QString &meter) const;
    void setMeterName(const QString &meter, const QString &name);

    static QString defaultRecordingsFolder();
    static QColor defaultColour(Quantity quantity);
    static int maximumCurveSeconds();

signals:
    // A choice was stored; its key, as in the file.
    void changed(const QString &key);

private:
    QString text(const char *key) const;
    bool flag(const char *key, bool fallback) const;
    double number(const char *key, double fallback, double least, double most) const;
    void store(const char *key, const QVariant &value);
    static void fallBack(const char *key, const QString &value, const QString &fallback);
    static const char *colourKey(Quantity quantity);
    static QByteArray meterNameKey(const QString &meter);

    QSettings *m_store;
};

#endif // APPSETTINGS_H
