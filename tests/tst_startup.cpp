#include "temporaryappdir.h"

#include <QAbstractButton>
#include <QAction>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QMenu>
#include <QSaveFile>
#include <QStackedWidget>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>

// The program's own entry point, renamed, so that a child process can start up
// exactly as the program does while a probe watches from inside.
#define main ammeterMain
#include "main.cpp"
#undef main

namespace {

const char ProbeArgument[] = "--startup-probe";

QStringList actionTexts(const QList<QAction *> &actions)
{
    QStringList texts;
    for (const QAction *action : actions)
        texts << action->text();
    return texts;
}

// Lives in the child: records what the main window looks like once it is shown
// and its language has arrived, closes it the way the window system would, and
// notes whether the window goes while the application object still exists.
class StartupProbe : public QObject
{
public:
    QJsonObject report;

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *window = qobject_cast<MainWindow *>(watched);
        if (window && event->type() == QEvent::Show && !m_window) {
            m_window = window;
            report["styleSheetAtShow"] = qApp->styleSheet();
            connect(window, &QObject::destroyed, [this] {
                report["applicationAliveAtWindowEnd"] = QCoreApplication::instance() != nullptr;
            });
            // Queued behind the language change that the constructor posted.
            QMetaObject::invokeMethod(
                this, [this] { describeAndClose(); }, Qt::QueuedConnection);
        }
        return false;
    }

private:
    void describeAndClose()
    {
        QStringList texts = actionTexts(m_window->findChild<QToolBar *>()->actions());
        for (const QLabel *label : m_window->findChildren<QLabel *>())
            if (!label->isHidden())
                texts << label->text();
        for (const QAbstractButton *button : m_window->findChildren<QAbstractButton *>())
            if (!button->isHidden())
                texts << button->text();
        report["texts"] = QJsonArray::fromStringList(texts);
        report["windowTitle"] = m_window->windowTitle();
        report["titleLabel"] = m_window->findChild<QLabel *>("labTitle")->text();
        report["languageMenu"] = QJsonArray::fromStringList(
            actionTexts(m_window->findChild<QToolButton *>("btnLanguage")->menu()->actions()));
        report["page"] = m_window->findChild<QStackedWidget *>("stackedWidget")->currentIndex();
        report["devicePixelRatio"] = m_window->devicePixelRatioF();
        m_window->close();
    }

    MainWindow *m_window = nullptr;
};

StartupProbe *probe = nullptr;

void installProbe()
{
    probe = new StartupProbe;
    QCoreApplication::instance()->installEventFilter(probe);
}

// Child side: start the program as usual and write what the probe saw.
int runStartupProbe(char *argv[])
{
    qAddPreRoutine(installProbe);
    int programArgc = 1;
    const int exitCode = ammeterMain(programArgc, argv);
    probe->report["exitCode"] = exitCode;
    QSaveFile file(QString::fromLocal8Bit(argv[2]));
    file.open(QIODevice::WriteOnly);
    file.write(QJsonDocument(probe->report).toJson());
    return file.commit() ? exitCode : 1;
}

bool hasChinese(const QString &text)
{
    for (const QChar c : text)
        if (c.unicode() >= 0x3000 && c.unicode() <= 0x9fff)
            return true;
    return false;
}

const QStringList ChineseTexts {"设备未连接", "曲线显示", "指针显示", "曲线/指针电流显示",
    "切换语言", "开始录制", "保存", "回放", "对比", "设置/服务", "个性色彩", "当前电压", "当前电流",
    "当前功率"};
const QStringList EnglishTexts {"Device Not Connected", "Curve display", "Pointer display",
    "Curve/pointer current display", "Switch language", "Start Recording", "Save", "Playback",
    "Compare", "Settings/Services", "Personality Color", "Current Voltage", "Current Current",
    "Current Power", "Current and voltage detection table"};

} // namespace

// Starts the whole program in a throw-away application directory, the way a
// user would, and checks what comes up.
class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void startUp_data();
    void startUp();
};

void TestStartup::startUp_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("fontDpi");
    QTest::addColumn<QStringList>("languageMenu");
    QTest::addColumn<QString>("tableHeading");

    const QStringList menu {"中文", "English"};
    const QString chinese = QStringLiteral("电流电压检测表");
    const QString source = QStringLiteral("Current and voltage detection table");
    QTest::newRow("first start") << QString() << 96 << menu << chinese;
    QTest::newRow("en") << "en" << 96 << menu << source;
    QTest::newRow("no catalogue") << "fr" << 96 << QStringList {"中文", "英文"} << source;
    QTest::newRow("150 % screen") << "zh" << 144 << menu << chinese;
}

void TestStartup::startUp()
{
    QFETCH(QString, stored);
    QFETCH(int, fontDpi);
    QFETCH(QStringList, languageMenu);
    QFETCH(QString, tableHeading);

    const bool english = stored == QLatin1String("en");
    TemporaryAppDir dir;
    QVERIFY(dir.isValid());
    if (!stored.isEmpty())
        dir.writeLanguage(stored);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_FONT_DPI"), QString::number(fontDpi));
    const QString reportFile = dir.path() + QStringLiteral("/startup-report.json");
    QCOMPARE(dir.run({QString::fromLatin1(ProbeArgument), reportFile}, environment), 0);
    QFile file(reportFile);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QJsonObject report = QJsonDocument::fromJson(file.readAll()).object();

    const QString title = english
        ? QStringLiteral("  Ampere meter upper computer management software")
        : QStringLiteral("  电流表上位机管理软件");
    QCOMPARE(report.value("windowTitle").toString(), title);
    QCOMPARE(report.value("titleLabel").toString(), title);
    QCOMPARE(report.value("languageMenu").toVariant().toStringList(), languageMenu);
    const QStringList texts = report.value("texts").toVariant().toStringList();
    QVERIFY2(texts.contains(tableHeading), qPrintable(texts.join(" | ")));
    for (const QString &text : english ? EnglishTexts : ChineseTexts)
        QVERIFY2(texts.contains(text), qPrintable(text));
    for (const QString &text : texts)
        QVERIFY2(english ? !hasChinese(text) || text == QLatin1String("中文")
                         : text == tableHeading || !EnglishTexts.contains(text),
            qPrintable(text));

    const QString storedAfterwards = stored.isEmpty() ? QStringLiteral("zh") : stored;
    QFile settings(dir.settingsFile());
    QVERIFY(settings.open(QIODevice::ReadOnly));
    QVERIFY(settings.readAll().contains("languagesIndex=" + storedAfterwards.toUtf8()));

    // Only the dark black 2 skin styles both the separator line and the colour box.
    const QString sheet = report.value("styleSheetAtShow").toString();
    QVERIFY(sheet.startsWith(
        QStringLiteral("QPalette{background:#0E141B;}*{outline:0px;color:#D7E2E9;}\n")));
    QVERIFY(sheet.contains(QStringLiteral("QLabel[form=\"splitter\"]")));
    QVERIFY(sheet.contains(QStringLiteral("QCheckBox[form=\"color\"]")));
    QCOMPARE(report.value("page").toInt(), 1);
    // 144 dpi is a 150 % screen: drawn at 1.5, neither rounded down to 1 nor up to 2.
    QCOMPARE(report.value("devicePixelRatio").toDouble(), fontDpi / 96.0);
    QCOMPARE(report.value("exitCode").toInt(), 0);
    QVERIFY(report.value("applicationAliveAtWindowEnd").toBool());
}

int main(int argc, char *argv[])
{
    if (argc == 3 && qstrcmp(argv[1], ProbeArgument) == 0)
        return runStartupProbe(argv);
    QCoreApplication app(argc, argv);
    TestStartup test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_startup.moc"
