// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef BROKERSETTINGS_H
#define BROKERSETTINGS_H

#include <QString>

// Where and how to publish: the broker's address from an mqtt:// or mqtts://
// URL, the topic prefix, the delivery guarantee, how much to hold back while
// the broker is away, and the credentials, which never come from a command
// line where other users could read them.
struct BrokerSettings
{
    static const int DefaultBufferLimit = 36000; // an hour at ten measurements a second

    // Each returns an empty string, or one line saying what is wrong.
    QString parseUrl(const QString &url);
    QString parseQos(const QString &text);
    QString parseBufferLimit(const QString &text);
    // The environment's AMMETER_MQTT_USER and AMMETER_MQTT_PASSWORD.
    void readEnvironment();
    // The user name on the first line, the password on the second.
    QString readPasswordFile(const QString &fileName);

    QString url; // as given, for messages
    QString host;
    int port = 1883;
    bool tls = false;
    QString caFile; // empty: the system's certificate store
    QString prefix;
    int qos = 1;
    int bufferLimit = DefaultBufferLimit;
    QString user;
    QString password;
};

#endif // BROKERSETTINGS_H
