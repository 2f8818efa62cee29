#include "imagecheck.h"
#include "temporaryappdir.h"

#include <QGuiApplication>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QtTest>

namespace {

const QColor ConnectedBlue(55, 167, 255);

struct Run
{
    int exitCode = -1;
    QStringList out;
    QString err;
};

// The launcher as a user runs it: outside umockdev-wrapper, which it starts by itself.
Run runDemo(const QStringList &arguments)
{
    QProcess demo;
    demo.start(QStringLiteral(AMMETER_DEMO), arguments);
    Run run;
    if (!demo.waitForFinished(60000) || demo.exitStatus() != QProcess::NormalExit) {
        demo.kill();
        demo.waitForFinished();
        return run;
    }
    run.exitCode = demo.exitCode();
    run.out = QString::fromUtf8(demo.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    run.err = QString::fromUtf8(demo.readAllStandardError());
    return run;
}

} // namespace

class TestE2eDemo : public QObject
{
    Q_OBJECT

private slots:
    void runsProgramAndReplugsMeter();
    void badOptions_data();
    void badOptions();
};

void TestE2eDemo::runsProgramAndReplugsMeter()
{
    TemporaryAppDir appDir(QStringLiteral(AMMETER_PROGRAM));
    QVERIFY(appDir.isValid());
    const QString screenshot = QStringLiteral(AMMETER_TEST_OUTPUT_DIR "/e2e_demo.png");
    QFile::remove(screenshot);

    // Plugged at 1 s, pulled at 3.5 s, plugged again at 6 s, still in at 8 s.
    const Run run = runDemo({"--program", appDir.executable(), "--profile", "constant:5,0.5",
        "--replug", "2.5", "--seconds", "8", "--screenshot", screenshot});
    QVERIFY2(run.exitCode == 0, qPrintable(run.out.join('\n') + '\n' + run.err));

    // Port names skip those another process has locked, so they are read back.
    const QStringList plugged = run.out.filter(QRegularExpression("^plugged ttyACM\\d+ "));
    QCOMPARE(plugged.size(), 2);
    const QString first = plugged.at(0).section(' ', 1, 1);
    const QString second = plugged.at(1).section(' ', 1, 1);
    const QStringList expected {
        "started " + appDir.executable() + " (pid ",
        "plugged " + first + " 303a:1001 serial AMMETER-DEMO-1",
        "the program opened " + first,
        "unplugged " + first + " (it had ",
        "the program closed " + first,
        "plugged " + second + " 303a:1001 serial AMMETER-DEMO-1",
        "the program opened " + second,
        "screenshot saved to " + screenshot,
        "program ended",
    };
    QCOMPARE(run.out.size(), expected.size());
    for (int i = 0; i < expected.size(); ++i)
        QVERIFY2(run.out.at(i).startsWith(expected.at(i)), qPrintable(run.out.at(i)));
    QVERIFY2(run.err.contains("校准参数"), qPrintable(run.err));

    QVERIFY(ImageCheck::countColor(QImage(screenshot), ConnectedBlue, 30) > 20);
}

void TestE2eDemo::badOptions_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("message");

    QTest::newRow("unknown option") << QStringList {"--fast"} << 2 << "Unknown option 'fast'";
    QTest::newRow("zero seconds") << QStringList {"--seconds", "0"} << 2
                                  << "--seconds takes a number of seconds above 0";
    QTest::newRow("constant without current")
        << QStringList {"--profile", "constant:5"} << 2 << "--profile constant:V,A takes";
    QTest::newRow("screenshot without seconds")
        << QStringList {"--screenshot", "x.png"} << 2 << "--screenshot needs --seconds";
    QTest::newRow("missing program") << QStringList {"--program", "/nonexistent/ammeter"} << 1
                                     << "no program at /nonexistent/ammeter";
}

void TestE2eDemo::badOptions()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, message);

    const Run run = runDemo(arguments);
    QCOMPARE(run.exitCode, exitCode);
    QVERIFY2((run.out.join('\n') + run.err).contains(message),
        qPrintable(run.out.join('\n') + '\n' + run.err));
}

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    TestE2eDemo test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_e2e_demo.moc"
