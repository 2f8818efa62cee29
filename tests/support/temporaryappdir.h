// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef TEMPORARYAPPDIR_H
#define TEMPORARYAPPDIR_H

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>

// The main window keeps "Settings.ini" beside the executable: run from the build
// tree, one test would leak its language into the next. A TemporaryAppDir holds a
// copy of an executable (by default the running one) in a fresh directory.
class TemporaryAppDir
{
public:
    explicit TemporaryAppDir(const QString &executable = QCoreApplication::applicationFilePath())
        : m_copied(m_dir.isValid() && QFile::copy(executable, this->executable()))
    { }

    bool isValid() const { return m_copied; }
    QString path() const { return m_dir.path(); }
    QString executable() const { return m_dir.filePath(QStringLiteral("app-under-test")); }
    QString settingsFile() const { return m_dir.filePath(QStringLiteral("Settings.ini")); }
    QString storedLanguage() const
    {
        return QSettings(settingsFile(), QSettings::IniFormat).value("languagesIndex").toString();
    }

private:
    QTemporaryDir m_dir;
    bool m_copied;
};

// For a test main(): true when this process is the copy started by runInTemporaryAppDir().
inline bool isInTemporaryAppDir()
{
    return qEnvironmentVariableIsSet("AMMETER_TEMPORARY_APP_DIR");
}

// Runs this test executable again from a temporary application directory, with
// the same arguments and its output passed through, and returns its exit code.
inline int runInTemporaryAppDir(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    TemporaryAppDir dir;
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("AMMETER_TEMPORARY_APP_DIR"), dir.path());
    process.setProcessEnvironment(environment);
    process.start(dir.executable(), app.arguments().mid(1));
    if (!dir.isValid() || !process.waitForFinished(-1)
        || process.exitStatus() != QProcess::NormalExit)
        return 1;
    return process.exitCode();
}

#endif // TEMPORARYAPPDIR_H
