// SPDX-License-Identifier: GPL-3.0-or-later
#include "imagecheck.h"
#include "temporaryappdir.h"

#include <QRegularExpression>
#include <QtTest>

// The demo launcher as a user runs it: outside umockdev-wrapper, which it starts by itself.
class TestE2eDemo : public QObject
{
    Q_OBJECT

private slots:
    void runsProgramAndReplugsMeter()
    {
        TemporaryAppDir appDir(QStringLiteral(AMMETER_PROGRAM));
        QVERIFY(appDir.isValid());
        const QString screenshot = QStringLiteral(AMMETER_TEST_OUTPUT_DIR "/e2e_demo.png");
        QFile::remove(screenshot);
        // Plugged at 1 s, pulled at 3.5 s, plugged again at 6 s, still in at 8 s.
        QProcess demo;
        demo.start(QStringLiteral(AMMETER_DEMO),
            {"--program", appDir.executable(), "--profile", "constant:5,0.5", "--replug", "2.5",
                "--seconds", "8", "--screenshot", screenshot});
        QVERIFY(demo.waitForFinished(60000));
        const QStringList out
            = QString::fromUtf8(demo.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
        const QString err = QString::fromUtf8(demo.readAllStandardError());
        QVERIFY2(demo.exitCode() == 0, qPrintable(out.join('\n') + '\n' + err));
        // Port names skip those another process has locked, so they are read back.
        const QStringList plugged = out.filter(QRegularExpression("^plugged ttyACM\\d+ "));
        QCOMPARE(plugged.size(), 2);
        const QString first = plugged.at(0).section(' ', 1, 1);
        const QString second = plugged.at(1).section(' ', 1, 1);
        const QStringList expected {"started " + appDir.executable() + " (pid ",
            "plugged " + first + " 303a:1001 serial AMMETER-DEMO-1", "the program opened " + first,
            "unplugged " + first + " (it had ", "the program closed " + first,
            "plugged " + second + " 303a:1001 serial AMMETER-DEMO-1",
            "the program opened " + second, "screenshot saved to " + screenshot, "program ended"};
        QCOMPARE(out.size(), expected.size());
        for (int i = 0; i < expected.size(); ++i)
            QVERIFY2(out.at(i).startsWith(expected.at(i)), qPrintable(out.at(i)));
        QVERIFY2(err.contains("校准参数"), qPrintable(err));
        QVERIFY(ImageCheck::countColor(QImage(screenshot), QColor(55, 167, 255), 30) > 20);
    }

    void unknownOptionIsRefused()
    {
        QProcess demo;
        demo.setProcessChannelMode(QProcess::MergedChannels);
        demo.start(QStringLiteral(AMMETER_DEMO), {"--fast"});
        QVERIFY(demo.waitForFinished(60000));
        QCOMPARE(demo.exitCode(), 2);
        QVERIFY(demo.readAll().contains("Unknown option 'fast'"));
    }
};

QTEST_MAIN(TestE2eDemo)
#include "tst_e2e_demo.moc"
