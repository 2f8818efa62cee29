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
    // A day at ten a second, some 200 MB held: past that a lost broker is better told
    // than hidden in memory.
    static const int MaxBufferLimit = 864000;

    // Each returns an empty string, or one line saying what is wrong.
    QString parseUrl(const QString &url);
    QString parseQos(const QString &text);
    QString parseBufferLimit(const QString &text);
    // The environment's AMMETER_MQTT_USER and AMMETER_MQTT_PASSWORD.
    void readEnvironment();
    // The user name on the first line, the password on the second.
    QString readPasswordFile(const QString &fileName);

    // Not refused, but worth a word to the user: a password file that other
    // users can read, and credentials sent where anyone on the way can read them.
    bool passwordFileOpenToOthers() const;
    bool credentialsInClear() const;

    bool operator==(const BrokerSettings &other) const;
    bool operator!=(const BrokerSettings &other) const { return !(*this == other); }

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
    QString passwordFile; // where user and password came from, if from a file
};

#endif // BROKERSETTINGS_H
