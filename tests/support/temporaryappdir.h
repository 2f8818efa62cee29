#ifndef TEMPORARYAPPDIR_H
#define TEMPORARYAPPDIR_H

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QStringList>
#include <QTemporaryDir>

// The main window keeps "Settings.ini" beside the executable, so a test that
// builds it must not run from the build tree: it would read and write the
// build tree's settings, and one run would leak its language into the next.
// A TemporaryAppDir holds a copy of the running test executable in a fresh
// directory that is removed again with the object.
class TemporaryAppDir
{
public:
    // Copies the executable at path, or the running one.
    explicit TemporaryAppDir(const QString &executable = QCoreApplication::applicationFilePath())
    {
        if (m_dir.isValid())
            m_copied = QFile::copy(executable, this->executable());
    }

    bool isValid() const { return m_copied; }
    QString path() const { return m_dir.path(); }
    QString executable() const { return m_dir.filePath(QStringLiteral("app-under-test")); }
    QString settingsFile() const { return m_dir.filePath(QStringLiteral("Settings.ini")); }

    void writeLanguage(const QString &code) const
    {
        QSettings settings(settingsFile(), QSettings::IniFormat);
        settings.setValue(QStringLiteral("languagesIndex"), code);
    }

    QString storedLanguage() const
    {
        return QSettings(settingsFile(), QSettings::IniFormat)
            .value(QStringLiteral("languagesIndex"))
            .toString();
    }

    // Runs the copy with the output passed straight through; the exit code of
    // the run, or -1 when it did not start or crashed.
    int run(const QStringList &arguments,
        const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment()) const
    {
        QProcess process;
        process.setProcessChannelMode(QProcess::ForwardedChannels);
        process.setProcessEnvironment(environment);
        process.start(executable(), arguments);
        if (!process.waitForFinished(-1) || process.exitStatus() != QProcess::NormalExit)
            return -1;
        return process.exitCode();
    }

private:
    QTemporaryDir m_dir;
    bool m_copied = false;
};

// For a test main(): true when this process is the copy started by
// runInTemporaryAppDir(), which then runs the tests.
inline bool isInTemporaryAppDir()
{
    return qEnvironmentVariableIsSet("AMMETER_TEMPORARY_APP_DIR");
}

// Runs this test executable again from a temporary application directory, with
// the same arguments, and returns its exit code.
inline int runInTemporaryAppDir(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    TemporaryAppDir dir;
    if (!dir.isValid()) {
        qCritical("Cannot copy the test executable into a temporary directory");
        return 1;
    }
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("AMMETER_TEMPORARY_APP_DIR"), dir.path());
    const int exitCode = dir.run(app.arguments().mid(1), environment);
    return exitCode < 0 ? 1 : exitCode;
}

#endif // TEMPORARYAPPDIR_H
