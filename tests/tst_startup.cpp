#include "appinit.h"
#include "mainwindow.h"
#include "quihelper.h"
#include "temporaryappdir.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
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
            report[QStringLiteral("styleSheetAtShow")] = qApp->styleSheet();
            connect(window, &QObject::destroyed, [this] {
                report[QStringLiteral("applicationAliveAtWindowEnd")]
                    = QCoreApplication::instance() != nullptr;
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
        report[QStringLiteral("windowTitle")] = m_window->windowTitle();
        report[QStringLiteral("titleLabel")]
            = m_window->findChild<QLabel *>(QStringLiteral("labTitle"))->text();
        report[QStringLiteral("texts")] = QJsonArray::fromStringList(shownTexts());
        report[QStringLiteral("languageMenu")] = QJsonArray::fromStringList(actionTexts(
            m_window->findChild<QToolButton *>(QStringLiteral("btnLanguage"))->menu()->actions()));
        report[QStringLiteral("page")]
            = m_window->findChild<QStackedWidget *>(QStringLiteral("stackedWidget"))
                  ->currentIndex();
        report[QStringLiteral("devicePixelRatio")] = m_window->devicePixelRatioF();
        report[QStringLiteral("highDpiScaling")]
            = QCoreApplication::testAttribute(Qt::AA_EnableHighDpiScaling);
        report[QStringLiteral("highDpiPixmaps")]
            = QCoreApplication::testAttribute(Qt::AA_UseHighDpiPixmaps);
        report[QStringLiteral("passThroughRounding")]
            = QGuiApplication::highDpiScaleFactorRoundingPolicy()
            == Qt::HighDpiScaleFactorRoundingPolicy::PassThrough;
        m_window->close();
    }

    QStringList shownTexts() const
    {
        QStringList texts;
        for (const QLabel *label : m_window->findChildren<QLabel *>())
            if (!label->isHidden() && !label->text().isEmpty())
                texts << label->text();
        for (const QAbstractButton *button : m_window->findChildren<QAbstractButton *>())
            if (!button->isHidden() && !button->text().isEmpty())
                texts << button->text();
        return texts + actionTexts(m_window->findChild<QToolBar *>()->actions());
    }

    static QStringList actionTexts(const QList<QAction *> &actions)
    {
        QStringList texts;
        for (const QAction *action : actions)
            texts << action->text();
        return texts;
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
    const QString reportFile = QString::fromLocal8Bit(argv[2]);
    qAddPreRoutine(installProbe);
    int programArgc = 1;
    const int exitCode = ammeterMain(programArgc, argv);
    probe->report[QStringLiteral("exitCode")] = exitCode;
    QSaveFile file(reportFile);
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
const QString ChineseTitle = QStringLiteral("  电流表上位机管理软件");
const QString EnglishTitle = QStringLiteral("  Ampere meter upper computer management software");

} // namespace

// Starts the whole program in a throw-away application directory, the way a
// user would, and checks what comes up.
class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void language_data();
    void language();
    void skinAndShutdown();
    void fractionalScreenScale();

private:
    QJsonObject startUp(TemporaryAppDir &dir,
        const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment());
};

QJsonObject TestStartup::startUp(TemporaryAppDir &dir, const QProcessEnvironment &environment)
{
    const QString reportFile = dir.path() + QStringLiteral("/startup-report.json");
    const int exitCode = dir.run({QString::fromLatin1(ProbeArgument), reportFile}, environment);
    if (exitCode != 0)
        qWarning("start-up probe exited with %d", exitCode);
    QFile file(reportFile);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(file.readAll()).object();
}

void TestStartup::language_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("storedAfterwards");
    QTest::addColumn<bool>("english");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QStringList>("languageMenu");
    QTest::addColumn<QString>("tableHeading");

    const QStringList translatedMenu {"中文", "English"};
    const QStringList sourceMenu {"中文", "英文"};
    const QString chineseHeading = QStringLiteral("电流电压检测表");
    const QString sourceHeading = QStringLiteral("Current and voltage detection table");

    QTest::newRow("first start") << QString() << "zh" << false << ChineseTitle << translatedMenu
                                 << chineseHeading;
    QTest::newRow("zh") << "zh"
                        << "zh" << false << ChineseTitle << translatedMenu << chineseHeading;
    QTest::newRow("en") << "en"
                        << "en" << true << EnglishTitle << translatedMenu << sourceHeading;
    QTest::newRow("no catalogue") << "fr"
                                  << "fr" << false << ChineseTitle << sourceMenu << sourceHeading;
    QTest::newRow("code is case-sensitive")
        << "EN"
        << "EN" << false << ChineseTitle << sourceMenu << sourceHeading;
    QTest::newRow("no fallback to the base language")
        << "zh_CN"
        << "zh_CN" << false << ChineseTitle << sourceMenu << sourceHeading;
}

void TestStartup::language()
{
    QFETCH(QString, stored);
    QFETCH(QString, storedAfterwards);
    QFETCH(bool, english);
    QFETCH(QString, title);
    QFETCH(QStringList, languageMenu);
    QFETCH(QString, tableHeading);

    TemporaryAppDir dir;
    QVERIFY(dir.isValid());
    if (!stored.isEmpty())
        dir.writeLanguage(stored);

    const QJsonObject report = startUp(dir);
    QVERIFY2(!report.isEmpty(), "the start-up probe wrote no report");

    QCOMPARE(report.value("windowTitle").toString(), title);
    QCOMPARE(report.value("titleLabel").toString(), title);
    QCOMPARE(report.value("languageMenu").toVariant().toStringList(), languageMenu);

    const QStringList texts = report.value("texts").toVariant().toStringList();
    QVERIFY2(texts.contains(tableHeading), qPrintable(texts.join(" | ")));
    if (english) {
        for (const QString &text : EnglishTexts)
            QVERIFY2(texts.contains(text), qPrintable(text));
        for (const QString &text : texts)
            QVERIFY2(!hasChinese(text) || text == QLatin1String("中文"), qPrintable(text));
    } else {
        for (const QString &text : ChineseTexts)
            QVERIFY2(texts.contains(text), qPrintable(text));
        for (const QString &text : EnglishTexts)
            QVERIFY2(text == tableHeading || !texts.contains(text), qPrintable(text));
    }

    QCOMPARE(dir.storedLanguage(), storedAfterwards);
    QFile settings(dir.settingsFile());
    QVERIFY(settings.open(QIODevice::ReadOnly));
    QVERIFY(settings.readAll().contains("languagesIndex=" + storedAfterwards.toUtf8()));
}

void TestStartup::skinAndShutdown()
{
    TemporaryAppDir dir;
    QVERIFY(dir.isValid());
    const QJsonObject report = startUp(dir);
    QVERIFY2(!report.isEmpty(), "the start-up probe wrote no report");

    const QString sheet = report.value("styleSheetAtShow").toString();
    QCOMPARE(sheet.section('\n', 0, 0),
        QStringLiteral("QPalette{background:#0E141B;}*{outline:0px;color:#D7E2E9;}"));
    // Only the dark black 2 skin styles both the separator line and the colour box.
    QVERIFY(sheet.contains(QStringLiteral("QLabel[form=\"splitter\"]")));
    QVERIFY(sheet.contains(QStringLiteral("QCheckBox[form=\"color\"]")));

    QCOMPARE(report.value("page").toInt(), 1);
    QCOMPARE(report.value("exitCode").toInt(), 0);
    QCOMPARE(report.value("applicationAliveAtWindowEnd").toBool(), true);
}

void TestStartup::fractionalScreenScale()
{
    TemporaryAppDir dir;
    QVERIFY(dir.isValid());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_FONT_DPI"), QStringLiteral("144"));
    const QJsonObject report = startUp(dir, environment);
    QVERIFY2(!report.isEmpty(), "the start-up probe wrote no report");

    QVERIFY(report.value("highDpiScaling").toBool());
    QVERIFY(report.value("highDpiPixmaps").toBool());
    QVERIFY(report.value("passThroughRounding").toBool());
    // 144 dpi is a 150 % screen: drawn at 1.5, neither rounded down to 1 nor up to 2.
    QCOMPARE(report.value("devicePixelRatio").toDouble(), 1.5);
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
