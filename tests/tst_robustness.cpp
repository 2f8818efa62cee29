#include "mainwindow.h"
#include "temporaryappdir.h"

#include <QAction>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSaveFile>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

// The program's own entry point, renamed, so that a child process can start up
// exactly as the program does while a probe watches from inside.
#define main ammeterMain
#include "main.cpp"
#undef main

namespace {

const char ProbeArgument[] = "--robustness-probe";
const QString ChineseTitle = QStringLiteral("  电流表上位机管理软件");
const QString EnglishTitle = QStringLiteral("  Ampere meter upper computer management software");
// Long enough for a slow start under load, short enough that a hang shows as
// such rather than as the test's own time-out.
const int StartUpLimitMs = 30000;

// Lives in the child: once the window is up and its language has arrived, notes
// what it shows, optionally picks a language from the menu (which tries to store
// it), notes again, and closes the window the way the window system would.
class RobustnessProbe : public QObject
{
public:
    QString reportFile;
    QString choice;

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *window = qobject_cast<MainWindow *>(watched);
        if (window && event->type() == QEvent::Show && !m_window) {
            m_window = window;
            // Queued behind the language change that the constructor posted.
            QMetaObject::invokeMethod(
                this, [this] { noteAndChoose(); }, Qt::QueuedConnection);
        }
        return false;
    }

private:
    void noteAndChoose()
    {
        m_report[QStringLiteral("start")] = shown();
        if (choice.isEmpty()) {
            finish();
            return;
        }
        m_window->findChild<QAction *>(choice)->trigger();
        QMetaObject::invokeMethod(
            this,
            [this] {
                m_report[QStringLiteral("afterChoice")] = shown();
                finish();
            },
            Qt::QueuedConnection);
    }

    QJsonObject shown() const
    {
        auto text = [this](const char *name) {
            return m_window->findChild<QWidget *>(QLatin1String(name))->property("text");
        };
        return QJsonObject {
            {"windowTitle", m_window->windowTitle()},
            {"titleLabel", text("labTitle").toString()},
            {"state", text("lblDeviceState").toString()},
            {"record", text("btnRecord").toString()},
            {"curve", m_window->findChild<QAction *>(QStringLiteral("actionCurve"))->text()},
        };
    }

    void finish()
    {
        QSaveFile file(reportFile);
        file.open(QIODevice::WriteOnly);
        file.write(QJsonDocument(m_report).toJson());
        file.commit();
        m_window->close();
    }

    QJsonObject m_report;
    MainWindow *m_window = nullptr;
};

RobustnessProbe *probe = nullptr;

void installProbe()
{
    QCoreApplication::instance()->installEventFilter(probe);
}

int runProbe(char *argv[])
{
    probe = new RobustnessProbe;
    probe->reportFile = QString::fromLocal8Bit(argv[2]);
    probe->choice = QString::fromLocal8Bit(argv[3]);
    qAddPreRoutine(installProbe);
    int programArgc = 1;
    return ammeterMain(programArgc, argv);
}

// What the interface reads in one language.
QJsonObject texts(const QString &language)
{
    const bool english = language == QLatin1String("en");
    return QJsonObject {
        {"windowTitle", english ? EnglishTitle : ChineseTitle},
        {"state", english ? "Device Not Connected" : "设备未连接"},
        {"record", english ? "Start Recording" : "开始录制"},
        {"curve", english ? "Curve display" : "曲线显示"},
    };
}

bool runningAsRoot()
{
    return geteuid() == 0;
}

// chattr +i stops even root from writing; -i undoes it.
bool setImmutable(const QString &path, bool immutable)
{
    return QProcess::execute(QStringLiteral("chattr"),
               {immutable ? QStringLiteral("+i") : QStringLiteral("-i"), path})
        == 0;
}

QByteArray garbage(int size)
{
    QRandomGenerator random(20240601);
    QByteArray bytes(size, '\0');
    for (char &byte : bytes)
        byte = char(random.bounded(256));
    // Lines that look almost right, and bytes a text parser may trip over.
    bytes.prepend(QByteArray("[General\nlanguagesIndex\n=\n\0\xff\xfe[]]=[\n", 40));
    return bytes;
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

// Starts the whole program from a throw-away application directory whose
// "Settings.ini" is damaged, unreadable or unwritable, and checks that it comes
// up in the right language, does not hang or crash, and leaves the file alone
// where it cannot or must not write it.
class TestRobustness : public QObject
{
    Q_OBJECT

public:
    enum Entry {
        Unreadable,
        ReadOnly,
        ReadOnlyDirectory,
        Directory,
        Fifo,
        Written,
    };
    Q_ENUM(Entry)

    enum Outcome {
        Unchanged, // the same bytes, the same kind of entry
        StoresChinese, // readable afterwards, with "zh"
        InConfigFolder, // none beside the executable; the choice in $XDG_CONFIG_HOME
    };
    Q_ENUM(Outcome)

private slots:
    void settingsFile_data();
    void settingsFile();

private:
    bool prepare(TemporaryAppDir &dir, Entry entry, const QByteArray &content);
    void release(TemporaryAppDir &dir, Entry entry);
    QJsonObject startUp(TemporaryAppDir &dir, const QString &choice, const QString &configHome);
};

void TestRobustness::settingsFile_data()
{
    QTest::addColumn<Entry>("entry");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("choice");
    QTest::addColumn<QString>("languageAfterChoice");
    QTest::addColumn<Outcome>("outcome");

    const QByteArray english("[General]\nlanguagesIndex=en\n");
    const QString noChoice;

    QTest::newRow("unreadable") << Unreadable << english << "zh" << noChoice << QString()
                                << Unchanged;
    QTest::newRow("read-only, english chosen before") << ReadOnly << english << "en"
                                                      << "actionChinese"
                                                      << "zh" << Unchanged;
    QTest::newRow("read-only directory as when installed")
        << ReadOnlyDirectory << QByteArray() << "zh"
        << "actionEnglish"
        << "en" << InConfigFolder;
    QTest::newRow("a directory in its place") << Directory << QByteArray() << "zh"
                                              << "actionEnglish"
                                              << "en" << Unchanged;
    // Opening a named pipe for reading waits for a writer that never comes.
    QTest::newRow("a named pipe in its place")
        << Fifo << QByteArray() << "zh" << noChoice << QString() << Unchanged;
    QTest::newRow("garbage") << Written << garbage(1 << 20) << "zh" << noChoice << QString()
                             << StoresChinese;
    QTest::newRow("no catalogue for the language")
        << Written << QByteArray("[General]\nlanguagesIndex=fr\n") << "zh" << noChoice << QString()
        << Unchanged;
    // The code only ever names a catalogue among the program's own resources,
    // even when it climbs out to a real one on disk (%1: the application directory).
    QTest::newRow("a path as the language")
        << Written << QByteArray("[General]\nlanguagesIndex=../../../../../../../..%1/en\n") << "zh"
        << noChoice << QString() << Unchanged;
    QTest::newRow("empty language") << Written << QByteArray("[General]\nlanguagesIndex=\n") << "zh"
                                    << noChoice << QString() << Unchanged;
}

void TestRobustness::settingsFile()
{
    QFETCH(Entry, entry);
    QFETCH(QByteArray, content);
    QFETCH(QString, language);
    QFETCH(QString, choice);
    QFETCH(QString, languageAfterChoice);
    QFETCH(Outcome, outcome);

    if (entry == Unreadable && runningAsRoot())
        QSKIP("Running as root, which reads any file whatever its mode; the rows with a "
              "directory or a named pipe in the file's place cover an entry that cannot be read");

    TemporaryAppDir dir;
    QVERIFY(dir.isValid());
    content.replace("%1", QFile::encodeName(dir.path()));
    QVERIFY(
        QFile::copy(QStringLiteral(":/languages/en.qm"), dir.path() + QStringLiteral("/en.qm")));
    if (!prepare(dir, entry, content))
        QSKIP("Cannot make the file or directory unwritable here (chattr needs "
              "CAP_LINUX_IMMUTABLE when running as root)");
    const QFileInfo before(dir.settingsFile());

    QTemporaryDir configHome;
    const QJsonObject report = startUp(dir, choice, configHome.path());
    release(dir, entry);
    QVERIFY2(!report.isEmpty(), "the program hung, crashed or wrote no report");

    const QJsonObject start = report.value("start").toObject();
    const QJsonObject expected = texts(language);
    for (auto it = expected.begin(); it != expected.end(); ++it)
        QCOMPARE(start.value(it.key()).toString(), it.value().toString());
    QCOMPARE(start.value("titleLabel").toString(), expected.value("windowTitle").toString());
    if (!choice.isEmpty()) {
        const QJsonObject after = report.value("afterChoice").toObject();
        const QJsonObject chosen = texts(languageAfterChoice);
        for (const QString &key : {"state", "record", "curve"})
            QCOMPARE(after.value(key).toString(), chosen.value(key).toString());
    }

    const QFileInfo afterwards(dir.settingsFile());
    switch (outcome) {
    case Unchanged:
        QCOMPARE(afterwards.exists(), before.exists());
        QCOMPARE(afterwards.isDir(), before.isDir());
        QCOMPARE(afterwards.isFile(), before.isFile());
        if (before.isFile())
            QCOMPARE(fileBytes(dir.settingsFile()), content);
        break;
    case StoresChinese:
        QCOMPARE(dir.storedLanguage(), QStringLiteral("zh"));
        break;
    case InConfigFolder:
        QVERIFY(!afterwards.exists());
        QCOMPARE(QSettings(configHome.filePath(QStringLiteral("ammeter/Settings.ini")),
                     QSettings::IniFormat)
                     .value(QStringLiteral("languagesIndex"))
                     .toString(),
            languageAfterChoice);
        break;
    }
}

bool TestRobustness::prepare(TemporaryAppDir &dir, Entry entry, const QByteArray &content)
{
    const QString path = dir.settingsFile();
    if (!content.isEmpty()) {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
            return false;
    }
    switch (entry) {
    case Unreadable:
        return QFile::setPermissions(path, {});
    case ReadOnly:
        return runningAsRoot() ? setImmutable(path, true)
                               : QFile::setPermissions(path, QFile::ReadOwner);
    case ReadOnlyDirectory:
        return runningAsRoot() ? setImmutable(dir.path(), true)
                               : QFile::setPermissions(
                                   dir.path(), QFile::ReadOwner | QFile::ExeOwner | QFile::ExeUser);
    case Directory:
        return QDir().mkdir(path);
    case Fifo:
        return mkfifo(QFile::encodeName(path).constData(), 0644) == 0;
    case Written:
        return true;
    }
    return false;
}

// Gives the temporary directory back its ordinary permissions, so that it can go.
void TestRobustness::release(TemporaryAppDir &dir, Entry entry)
{
    const QFile::Permissions ordinary = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
    if (entry == ReadOnly && runningAsRoot())
        setImmutable(dir.settingsFile(), false);
    if (entry == ReadOnlyDirectory && runningAsRoot())
        setImmutable(dir.path(), false);
    if (entry == ReadOnlyDirectory)
        QFile::setPermissions(dir.path(), ordinary);
    if (entry == Unreadable || entry == ReadOnly)
        QFile::setPermissions(dir.settingsFile(), ordinary);
}

QJsonObject TestRobustness::startUp(
    TemporaryAppDir &dir, const QString &choice, const QString &configHome)
{
    QTemporaryDir reports;
    const QString reportFile = reports.filePath(QStringLiteral("report.json"));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), configHome);
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.start(dir.executable(), {QString::fromLatin1(ProbeArgument), reportFile, choice});
    if (!process.waitForFinished(StartUpLimitMs)) {
        qWarning("the program did not finish within %d ms: killed", StartUpLimitMs);
        process.kill();
        process.waitForFinished();
        return {};
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        qWarning("the program ended with status %d, exit code %d", int(process.exitStatus()),
            process.exitCode());
        return {};
    }
    QFile file(reportFile);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(file.readAll()).object();
}

int main(int argc, char *argv[])
{
    if (argc == 4 && qstrcmp(argv[1], ProbeArgument) == 0)
        return runProbe(argv);
    QCoreApplication app(argc, argv);
    TestRobustness test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_robustness.moc"
