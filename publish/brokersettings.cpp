// SPDX-License-Identifier: GPL-3.0-or-later
#include "brokersettings.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QUrl>

#include <tuple>

namespace {

const char UrlForm[] = "mqtt://host[:port]/prefix or mqtts://host[:port]/prefix";

// The text after the authority's last colon outside an IPv6 host's brackets: QUrl refuses a
// port that is no number up to 65535 without keeping it, and the message names it.
QString portText(const QString &text)
{
    const int start = text.indexOf(QLatin1String("://"));
    if (start < 0)
        return QString();
    const int slash = text.indexOf(QLatin1Char('/'), start + 3);
    QString authority = text.mid(start + 3, slash < 0 ? -1 : slash - start - 3);
    authority.remove(0, authority.lastIndexOf(QLatin1Char('@')) + 1);
    const int colon = authority.lastIndexOf(QLatin1Char(':'));
    return colon > authority.lastIndexOf(QLatin1Char(']')) ? authority.mid(colon + 1) : QString();
}

} // namespace

QString BrokerSettings::parseUrl(const QString &text)
{
    const QUrl parsed(text);
    const QString scheme = parsed.scheme();
    const QString notTheForm = QStringLiteral("the broker URL takes the form %1, not \"%2\"")
                                   .arg(QLatin1String(UrlForm), text);
    if (scheme != QLatin1String("mqtt") && scheme != QLatin1String("mqtts"))
        return notTheForm;
    const QString givenPort = portText(text);
    bool number = false;
    const int givenNumber = givenPort.toInt(&number);
    if (!givenPort.isEmpty() && (!number || givenNumber < 1 || givenNumber > 65535))
        return QStringLiteral("the broker's port is a number from 1 to 65535, not \"%1\"")
            .arg(givenPort);
    if (!parsed.isValid() || parsed.host().isEmpty())
        return notTheForm;
    if (!parsed.userInfo().isEmpty())
        return QStringLiteral("the broker URL carries no user name or password, as other users "
                              "could read them; they come from AMMETER_MQTT_USER and "
                              "AMMETER_MQTT_PASSWORD or a password file");
    url = text;
    tls = scheme == QLatin1String("mqtts");
    // Without brackets, as the name lookup takes an IPv6 address; a name outside ASCII as the
    // resolver knows it.
    host = parsed.host(QUrl::FullyEncoded);
    port = parsed.port(tls ? 8883 : 1883);
    // A '?' or '#' after the host is the prefix's own text, not a URL's query or fragment: a '#'
    // is then refused below as a wildcard.
    prefix = parsed.toString(QUrl::RemoveScheme | QUrl::RemoveAuthority).mid(1);
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
