// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef MOSQUITTOBROKER_H
#define MOSQUITTOBROKER_H

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <pwd.h>
#include <sys/socket.h>
#include <unistd.h>

// Debian's Mosquitto on a free loopback port, with a configuration of its own:
// anonymous clients, sessions kept across a stop and a start on the same port,
// and a TLS listener when given a certificate and its key. Its log is printed
// when a test fails to start it.
class MosquittoBroker
{
public:
    // With a user, only that user with that password gets in.
    MosquittoBroker(const QString &certificate = QString(), const QString &key = QString(),
        const QString &user = QString(), const QString &password = QString())
        : m_port(freePort())
        , m_certificate(certificate)
        , m_user(user)
        , m_password(password)
    {
        QFile config(m_dir.filePath(QStringLiteral("mosquitto.conf")));
        config.open(QIODevice::WriteOnly);
        // Started as root it would drop to its own user, who cannot write the
        // session store in a temporary folder.
        const passwd *account = getpwuid(geteuid());
        config.write(QStringLiteral("user %1\nlistener %2 127.0.0.1\nallow_anonymous %3\n"
                                    "persistence true\npersistence_location %4/\n")
                         .arg(QString::fromLocal8Bit(account ? account->pw_name : "root"))
                         .arg(m_port)
                         .arg(m_user.isEmpty() ? "true" : "false")
                         .arg(m_dir.path())
                         .toUtf8());
        if (!m_user.isEmpty()) {
            const QString passwords = m_dir.filePath(QStringLiteral("passwords"));
            QProcess::execute(QStringLiteral("mosquitto_passwd"),
                {QStringLiteral("-c"), QStringLiteral("-b"), passwords, m_user, m_password});
            config.write(QStringLiteral("password_file %1\n").arg(passwords).toUtf8());
        }
        if (!certificate.isEmpty())
            config.write(
                QStringLiteral("certfile %1\nkeyfile %2\n").arg(certificate, key).toUtf8());
        m_process.setProcessChannelMode(QProcess::MergedChannels);
    }
    ~MosquittoBroker() { stop(); }

    bool start()
    {
        m_log.clear();
        m_process.start(QStringLiteral("mosquitto"),
            {QStringLiteral("-c"), m_dir.filePath(QStringLiteral("mosquitto.conf"))});
        const bool running = QTest::qWaitFor([this] { return log().contains(" running"); }, 10000);
        if (!running)
            qWarning("mosquitto did not start:\n%s", qPrintable(log()));
        return running;
    }
    // As a service manager stops it: the sessions are saved on the way out.
    void stop()
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.terminate();
        m_process.waitForFinished(10000);
    }

    QString log()
    {
        m_log += QString::fromUtf8(m_process.readAll());
        return m_log;
    }
    QString url(const QString &prefix) const
    {
        return QStringLiteral("%1://127.0.0.1:%2/%3")
            .arg(m_certificate.isEmpty() ? "mqtt" : "mqtts")
            .arg(m_port)
            .arg(prefix);
    }
    // What mosquitto_sub and mosquitto_pub need to reach it.
    QStringList clientArguments() const
    {
        QStringList arguments {"-h", "127.0.0.1", "-p", QString::number(m_port)};
        if (!m_certificate.isEmpty())
            arguments << "--cafile" << m_certificate;
        if (!m_user.isEmpty())
            arguments << "-u" << m_user << "-P" << m_password;
        return arguments;
    }

    static int freePort()
    {
        const int fd = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        bind(fd, reinterpret_cast<sockaddr *>(&address), length);
        getsockname(fd, reinterpret_cast<sockaddr *>(&address), &length);
        close(fd);
        return ntohs(address.sin_port);
    }

private:
    QTemporaryDir m_dir;
    const int m_port;
    const QString m_certificate;
    const QString m_user;
    const QString m_password;
    QProcess m_process;
    QString m_log;
};

// mosquitto_sub with a session the broker keeps, so that what arrives while
// it is away is delivered when it is back, as a dashboard's feed would have it.
class MqttSubscriber
{
public:
    MqttSubscriber(const MosquittoBroker &broker, const QString &prefix)
        : m_broker(broker)
        , m_prefix(prefix)
    {
        m_process.start(QStringLiteral("mosquitto_sub"),
            broker.clientArguments()
                + QStringList {"-q", "1", "-c", "-i", "sub-" + prefix, "-v", "-t", prefix + "/#"});
    }
    ~MqttSubscriber()
    {
        m_process.terminate();
        m_process.waitForFinished(5000);
    }

    // True once a probe has come back to it; retained, the probe reaches it
    // whether it subscribed before or after the probe was sent.
    bool listening()
    {
        const QString probe = m_prefix + "/probe";
        QProcess::execute(QStringLiteral("mosquitto_pub"),
            m_broker.clientArguments() + QStringList {"-q", "1", "-r", "-t", probe, "-m", "probe"});
        const bool heard
            = QTest::qWaitFor([&] { return lines().contains(probe + " probe"); }, 10000);
        if (!heard)
            qWarning("mosquitto_sub heard nothing:\n%s\n%s", qPrintable(lines().join('\n')),
                m_process.readAllStandardError().constData());
        return heard;
    }
    QStringList lines()
    {
        m_text += QString::fromUtf8(m_process.readAllStandardOutput());
        return m_text.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }
    // The payloads on one topic, in the order they came.
    QStringList payloads(const QString &topicEnd)
    {
        QStringList found;
        for (const QString &line : lines()) {
            const int space = line.indexOf(QLatin1Char(' '));
            if (line.left(space).endsWith(topicEnd))
                found << line.mid(space + 1);
        }
        return found;
    }

private:
    const MosquittoBroker &m_broker;
    const QString m_prefix;
    QProcess m_process;
    QString m_text;
};

#endif // MOSQUITTOBROKER_H
