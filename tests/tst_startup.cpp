// SPDX-License-Identifier: GPL-3.0-or-later
#include "temporaryappdir.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QStackedWidget>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

// The program's own entry point, renamed, so that a child process can start up
// exactly as the program does while a probe watches from inside.
#define main ammeterMain
#include "main.cpp"
#undef main

namespace {

const char ProbeArgument[] = "--startup-probe";
// Long enough for a slow start under load, short enough that a hang shows as such.
const int StartUpLimitMs = 30000;

// Lives in the child: once the window is shown and its language has arrived,
// notes what it shows, optionally picks a language from the menu (which tries
// to store it), notes again and closes the window the way the window system would.
class StartupProbe : public QObject
{
public:
    StartupProbe(const QString &reportFile, const QString &choice)
        : report(reportFile, QSettings::IniFormat)
        , m_choice(choice)
    { }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *window = qobject_cast<MainWindow *>(watched);
        if (window && event->type() == QEvent::Show && !m_window) {
            m_window = window;
            report.setValue("styleSheet", qApp->styleSheet());
            // Queued behind the language change that the constructor posted.
            QMetaObject::invokeMethod(
                this, [this] { noteAndChoose(); }, Qt::QueuedConnection);
        }
        return false;
    }

    QSettings report;

private:
    void noteAndChoose()
    {
        note("start");
        if (!m_choice.isEmpty())
            m_window->findChild<QAction *>(m_choice)->trigger();
        QMetaObject::invokeMethod(
            this,
            [this] {
                note("afterChoice");
                m_window->close();
            },
            Qt::QueuedConnection);
    }

    void note(const QString &moment)
    {
        QStringList texts;
        const auto menu = m_window->findChild<QToolButton *>("btnLanguage")->menu()->actions();
        for (const QAction *action : m_window->findChild<QToolBar *>()->actions() + menu)
            texts << action->text();
        // A text that a narrow screen elides is whole in its tooltip.
        for (const QWidget *widget : m_window->findChildren<QWidget *>())
            texts << widget->property("text").toString() << widget->toolTip();
        report.beginGroup(moment);
        report.setValue("title", m_window->windowTitle());
        report.setValue("state", m_window->findChild<QLabel *>("lblDeviceState")->text());
        report.setValue("texts", texts);
        report.setValue("page", m_window->findChild<QStackedWidget *>()->currentIndex());
        report.setValue("ratio", m_window->devicePixelRatioF());
        report.endGroup();
    }

    const QString m_choice;
    MainWindow *m_window = nullptr;
};

StartupProbe *probe = nullptr;

void installProbe()
{
    QCoreApplication::instance()->installEventFilter(probe);
}

// Child side: start the program as usual and write what the probe saw.
int runStartupProbe(char *argv[])
{
    probe = new StartupProbe(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    qAddPreRoutine(installProbe);
    int programArgc = 1;
    probe->report.setValue("exitCode", ammeterMain(programArgc, argv));
    probe->report.sync();
    return probe->report.status() == QSettings::NoError ? 0 : 1;
}

// chattr +i stops even root from writing; -i undoes it.
bool setImmutable(const QString &path, bool immutable)
{
    return QProcess::execute("chattr", {immutable ? "+i" : "-i", path}) == 0;
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

// Starts the whole program from a throw-away application directory whose
// "Settings.ini" is missing, sound, damaged, unreadable or unwritable, and
// checks the language it comes up in, that it neither hangs nor crashes, and
// what is left of the file.
class TestStartup : public QObject
{
    Q_OBJECT

public:
    enum Entry { Missing, Written, ReadOnlyDirectory, Fifo };
    Q_ENUM(Entry)

private slots:
    void startUp_data()
    {
        QTest::addColumn<Entry>("entry");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("fontDpi");
        // The language at start and, after a ">", the one then chosen from the menu.
        QTest::addColumn<QString>("languages");
        QTest::addColumn<bool>("stored"); // the file then holds the last one; else it is unchanged
        QTest::addColumn<int>("skin");
        const QByteArray general("[General]\nlanguagesIndex=");
        QTest::newRow("first start") << Missing << QByteArray() << 96 << "zh" << true << 15;
        QTest::newRow("english, chinese chosen")
            << Written << general + "en" << 96 << "en>zh" << true << 15;
        // 144 dpi is a 150 % screen: drawn at 1.5, neither rounded down to 1 nor up to 2.
        QTest::newRow("150 % screen") << Missing << QByteArray() << 144 << "zh>en" << true << 15;
        // No catalogue: Chinese texts, the table heading as written in the source.
        QTest::newRow("no catalogue") << Written << general + "fr" << 96 << "fr" << false << 15;
        // Lines that look almost right, and bytes a text parser may trip over.
        QTest::newRow("garbage")
            << Written
            << QByteArray("[General\nlanguagesIndex\n=\n\0\xff\xfe[]]=[\n", 40).repeated(5000) << 96
            << "zh" << true << 15;
        QTest::newRow("read-only directory")
            << ReadOnlyDirectory << QByteArray() << 96 << "zh>en" << false << 15;
        // The skin last chosen; an index no skin has gives the dark one.
        QTest::newRow("stored skin")
            << Written << general + "zh\nskinIndex=3" << 96 << "zh" << true << 3;
        QTest::newRow("unknown skin")
            << Written << general + "zh\nskinIndex=99" << 96 << "zh" << true << 15;
        // Opening a named pipe for reading waits for a writer that never comes.
        QTest::newRow("a named pipe in its place")
            << Fifo << QByteArray() << 96 << "zh" << false << 15;
    }

    void startUp()
    {
        QFETCH(Entry, entry);
        QFETCH(QByteArray, content);
        QFETCH(int, fontDpi);
        QFETCH(QString, languages);
        QFETCH(bool, stored);
        QFETCH(int, skin);
        const QString language = languages.section('>', 0, 0);
        const QString after = languages.section('>', -1);
        const QString choice = after == language ? ""
            : after == "en"                      ? "actionEnglish"
                                                 : "actionChinese";
        TemporaryAppDir dir;
        QVERIFY(dir.isValid());
        QVERIFY(QFile::copy(":/languages/en.qm", dir.path() + "/en.qm"));
        QVERIFY(prepare(dir, entry, content));
        const QFileInfo before(dir.settingsFile());
        QTemporaryDir reports;
        const QString reportFile = reports.filePath("report.ini");
        QProcess process;
        process.setProcessChannelMode(QProcess::ForwardedChannels);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_FONT_DPI", QString::number(fontDpi));
        // Where a program that cannot write beside itself may keep its settings instead.
        environment.insert("XDG_CONFIG_HOME", reports.filePath("config"));
        process.setProcessEnvironment(environment);
        process.start(dir.executable(), {ProbeArgument, reportFile, choice});
        const bool finished = process.waitForFinished(StartUpLimitMs);
        if (!finished)
            process.kill();
        release(dir, entry);
        QVERIFY2(
            finished && process.exitCode() == 0, "the program hung, crashed or wrote no report");
        QSettings report(reportFile, QSettings::IniFormat);
        for (const QString &code : {language, after}) {
            report.beginGroup(code == language ? "start" : "afterChoice");
            const bool en = code == "en";
            const QString title = en ? "  Ampere meter upper computer management software"
                                     : "  电流表上位机管理软件";
            QCOMPARE(report.value("title").toString(), title);
            QCOMPARE(report.value("state").toString(), en ? "Device Not Connected" : "设备未连接");
            const QStringList texts = report.value("texts").toStringList();
            for (const QString &text :
                {title.trimmed(), QString(en ? "Start Recording" : "开始录制"),
                    QString(
                        code == "zh" ? "电流电压检测表" : "Current and voltage detection table"),
                    QString("中文"), QString(code == "fr" ? "英文" : "English")})
                QVERIFY2(!texts.filter(text).isEmpty(), qPrintable(text));
            // In English nothing may be left in Chinese but the name of the other language.
            for (const QString &text : texts)
                QVERIFY2(!en || text == "中文"
                        || !text.contains(QRegularExpression("[\\x{3000}-\\x{9fff}]")),
                    qPrintable(text));
            QCOMPARE(report.value("page").toInt(), 1);
            QCOMPARE(report.value("ratio").toDouble(), fontDpi / 96.0);
            report.endGroup();
        }
        // By default the dark black 2 skin, the only one that styles both the separator and the
        // colour box; else dark blue.
        const QString sheet = report.value("styleSheet").toString();
        QVERIFY(sheet.startsWith(skin == 15
                ? "QPalette{background:#0E141B;}*{outline:0px;color:#D7E2E9;}\n"
                : "QPalette{background:#0E1A32;}*{outline:0px;color:#DCE6F2;}\n"));
        QCOMPARE(sheet.contains("QLabel[form=\"splitter\"]")
                && sheet.contains("QCheckBox[form=\"color\"]"),
            skin == 15);
        QCOMPARE(report.value("exitCode").toInt(), 0);
        const QFileInfo afterwards(dir.settingsFile());
        if (stored) {
            QCOMPARE(dir.storedLanguage(), after);
        } else {
            QCOMPARE(afterwards.exists(), before.exists());
            QCOMPARE(afterwards.isDir(), before.isDir());
            if (before.isFile())
                QCOMPARE(fileBytes(dir.settingsFile()), content);
        }
    }

private:
    static bool prepare(const TemporaryAppDir &dir, Entry entry, const QByteArray &content)
    {
        const QString path = dir.settingsFile();
        QFile file(path);
        if (!content.isEmpty() && (!file.open(QIODevice::WriteOnly) || file.write(content) < 0))
            return false;
        file.close();
        switch (entry) {
        case Missing:
        case Written:
            return true;
        case ReadOnlyDirectory:
            return setImmutable(dir.path(), true)
                || QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
        case Fifo:
            return mkfifo(QFile::encodeName(path).constData(), 0644) == 0;
        }
        return false;
    }

    static void release(const TemporaryAppDir &dir, Entry entry)
    {
        if (entry == ReadOnlyDirectory && !setImmutable(dir.path(), false))
            QFile::setPermissions(
                dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
};

int main(int argc, char *argv[])
{
    if (argc == 4 && qstrcmp(argv[1], ProbeArgument) == 0)
        return runStartupProbe(argv);
    QCoreApplication app(argc, argv);
    TestStartup test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_startup.moc"
