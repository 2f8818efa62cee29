// SPDX-License-Identifier: GPL-3.0-or-later
#include "brokersettings.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <tuple>

namespace {

const char UrlForm[] = "mqtt://host[:port]/prefix or mqtts://host[:port]/prefix";

} // namespace

QString BrokerSettings::parseUrl(const QString &text)
{
    static const QRegularExpression pattern(QStringLiteral(
        "^(mqtts?)://(?:([^/]*)@)?(\\[[0-9A-Fa-f:.]+\\]|[^/:\\[\\]]+)(?::([^/]*))?(/.*)?$"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return QStringLiteral("the broker URL takes the form %1, not \"%2\"")
            .arg(QLatin1String(UrlForm), text);
    if (match.capturedLength(2) > 0)
        return QStringLiteral("the broker URL carries no user name or password, as other users "
                              "could read them; they come from AMMETER_MQTT_USER and "
                              "AMMETER_MQTT_PASSWORD or a password file");
    url = text;
    tls = match.captured(1) == QLatin1String("mqtts");
    host = match.captured(3);
    if (host.startsWith(QLatin1Char('[')))
        host = host.mid(1, host.size() - 2);
    port = tls ? 8883 : 1883;
    if (match.capturedStart(4) >= 0) {
        bool ok = false;
        port = match.captured(4).toInt(&ok);
        if (!ok || port < 1 || port > 65535)
            return QStringLiteral("the broker's port is a number from 1 to 65535, not \"%1\"")
                .arg(match.captured(4));
    }
    prefix = match.captured(5).mid(1);
    while (prefix.endsWith(QLatin1Char('/')))
        prefix.chop(1);
    if (prefix.isEmpty())
        prefix = QStringLiteral("ammeter");
    // Wildcards and empty levels are for subscribers; a "$" topic belongs to the broker.
    static const QRegularExpression badPrefix(QStringLiteral("[+#\\s]|//|^\\$"));
    if (prefix.contains(badPrefix))
        return QStringLiteral("the topic prefix \"%1\" may not hold +, #, spaces, empty levels "
                              "or a leading $")
            .arg(prefix);
    return QString();
}

QString BrokerSettings::parseQos(const QString &text)
{
    // QoS 2's extra round trip buys nothing here: a measurement sent twice is
    // recognised by its time.
    if (text != QLatin1String("0") && text != QLatin1String("1"))
        return QStringLiteral("the QoS is 0 or 1, not \"%1\"").arg(text);
    qos = text.toInt();
    return QString();
}

QString BrokerSettings::parseBufferLimit(const QString &text)
{
    bool ok = false;
    bufferLimit = text.toInt(&ok);
    if (!ok || bufferLimit < 1 || bufferLimit > MaxBufferLimit)
        return QStringLiteral("the buffer holds a whole number of measurements from 1 up to "
                              "%1 (a day), not \"%2\"")
            .arg(MaxBufferLimit)
            .arg(text);
    return QString();
}

void BrokerSettings::readEnvironment()
{
    user = qEnvironmentVariable("AMMETER_MQTT_USER");
    password = qEnvironmentVariable("AMMETER_MQTT_PASSWORD");
}

QString BrokerSettings::readPasswordFile(const QString &fileName)
{
    passwordFile = fileName;
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return QStringLiteral("cannot read %1: %2").arg(fileName, file.errorString());
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    user = lines.value(0).trimmed();
    password = lines.value(1);
    if (password.endsWith(QLatin1Char('\r')))
        password.chop(1);
    if (user.isEmpty())
        return QStringLiteral("%1 has no user name on its first line").arg(fileName);
    return QString();
}

bool BrokerSettings::passwordFileOpenToOthers() const
{
#ifdef Q_OS_UNIX
    return !passwordFile.isEmpty()
        && (QFileInfo(passwordFile).permissions()
            & (QFileDevice::ReadGroup | QFileDevice::ReadOther));
#else
    // Windows keeps a file in the user's profile to the user; its ACLs are not Unix bits.
    return false;
#endif
}

bool BrokerSettings::credentialsInClear() const
{
    // A password goes only with a user name.
    return !tls && !user.isEmpty();
}

bool BrokerSettings::operator==(const BrokerSettings &other) const
{
    const auto fields = [](const BrokerSettings &s) {
        return std::tie(s.url, s.host, s.port, s.tls, s.caFile, s.prefix, s.qos, s.bufferLimit,
            s.user, s.password, s.passwordFile);
    };
    return fields(*this) == fields(other);
}
