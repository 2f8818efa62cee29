// SPDX-License-Identifier: GPL-3.0-or-later
// A recorded run played back through the window's live pages in the meter's place.

#include "commoncurrentusbdevice.h"
#include "graphicsviewitemwidget.h"
#include "imagecheck.h"
#include "mainwindow.h"
#include "needlegraphicsellipseitem.h"
#include "playbackpage.h"
#include "quihelper.h"
#include "recordingfile.h"
#include "replaycontroller.h"
#include "runview.h"
#include "temporaryappdir.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QToolBar>
#include <QtTest>

#include <cmath>

namespace {

// 100 rows of 100, 103, 106, ... mA: each row's whole milliamperes differ.
QString writeRun(const QString &path)
{
    return writeRecording(path, 100, [](int i) { return 0.1005 + 0.003 * i; });
}

// A night on a battery as a board draws it: some 40 mA asleep, a 300 mA wake-up every
// minute, unplugged for two minutes in the middle.
QString writeNight(const QString &path, double scale, int minutes)
{
    quint32 noise = 11;
    const auto current = [&noise, scale](int i) {
        noise = noise * 1103515245u + 12345u;
        const bool awake = std::fmod(i * 0.1, 60.0) < 2.5;
        return scale * ((awake ? 0.3 : 0.04) + 0.004 * (noise >> 16) / 65536.0);
    };
    return writeRecording(path, minutes * 600, current, 120, minutes * 300);
}

template<typename T = QWidget>
T *child(QObject *parent, const char *name)
{
    return parent->findChild<T *>(QString::fromLatin1(name));
}

// The page controls that look pressed, read from their pixels: under the dark skin a pressed
// one is drawn on the checked blue, whichever page it belongs to.
QStringList pressed(MainWindow &window)
{
    QStringList names;
    for (const char *name :
        {"actionCurve", "actionNeedle", "actionCurveNeedle", "btnPlayback", "btnCompare"}) {
        QWidget *control = child(&window, name);
        if (auto *action = child<QAction>(&window, name))
            control = qobject_cast<QToolBar *>(action->parent())->widgetForAction(action);
        const QImage image = ImageCheck::grab(control);
        if (ImageCheck::countColor(image, QColor(0x00, 0x70, 0xC0), 12)
            > image.width() * image.height() / 2)
            names << name;
    }
    return names;
}

} // namespace

class TestReplay : public QObject
{
    Q_OBJECT

private slots:
    // The playback and compare pages in the window as a user meets them, in both languages.
    void showsThePagesInTheWindow_data()
    {
        QTest::addColumn<QString>("language");
        QTest::newRow("zh") << "zh";
        QTest::newRow("en") << "en";
    }
    void showsThePagesInTheWindow()
    {
        QFETCH(QString, language);
        QTemporaryDir dir;
        const QString night = writeNight(dir.filePath("night-fw-1.4.csv"), 1.0, 30);
        const QString lastWeek = writeNight(dir.filePath("night-fw-1.3.csv"), 1.25, 24);
        MainWindow window;
        window.switchLanguage(language);
        window.setTitle(window.windowTitle());
        QUIHelper::applySkin(15);
        window.resize(1366, 740);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(pressed(window), QStringList {"actionNeedle"});
        QVERIFY(window.openRecordings({night}));
        QCOMPARE(pressed(window), QStringList {"btnPlayback"});
        auto *playback = child<PlaybackPage>(&window, "playbackPage");
        QVERIFY(playback->isVisible());
        playback->view()->showSeconds(0, 600);
        child<QAbstractButton>(playback, "btnMarkers")->click();
        QCoreApplication::processEvents();
        const QImage shown = ImageCheck::grab(&window);
        ImageCheck::save(shown, "playback-" + language);
        QVERIFY(ImageCheck::countColor(shown, Qt::red, 60) > 500);
        QCOMPARE(
            playback->findChild<QLabel *>("lblPlaybackHeading")->text().contains("21:03:04"), true);

        QVERIFY(window.openRecordings({night, lastWeek}));
        QVERIFY(child(&window, "comparePage")->isVisible());
        QCOMPARE(pressed(window), QStringList {"btnCompare"});
        QCoreApplication::processEvents();
        const QImage compared = ImageCheck::grab(&window);
        ImageCheck::save(compared, "compare-" + language);
        QVERIFY(ImageCheck::countColor(compared, Qt::red, 60) > 500);
        QVERIFY(ImageCheck::countColor(compared, QColor(0, 162, 255), 40) > 500);
        child<QAction>(&window, "actionCurve")->trigger();
        QTRY_COMPARE(pressed(window), QStringList {"actionCurve"});
    }

    // At 10× the needle page's read-out shows the recorded currents in their order, the state
    // label says so, and the meter's own measurements wait; "返回实时" or a view button ends it.
    void replaysThroughThePages_data()
    {
        QTest::addColumn<QString>("end");
        QTest::newRow("back to live") << "btnBackToLive";
        QTest::newRow("view button") << "actionCurve";
    }
    void replaysThroughThePages()
    {
        QFETCH(QString, end);
        QTemporaryDir dir;
        MainWindow window;
        window.switchLanguage("zh");
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto *device = window.findChild<CommonCurrentUSBDevice *>();
        auto *label = child<QLabel>(&window, "lblDeviceState");
        QVERIFY(window.openRecordings({writeRun(dir.filePath("run.csv"))}));
        auto *replay = window.findChild<ReplayController *>();
        auto *view = child(&window, "widget")->findChild<GraphicsViewItemWidget *>();
        auto *readout = static_cast<NeedleGraphicsEllipseItem *>(view->item());

        QStringList shown;
        connect(replay->replayer(), &RunReplayer::rowsReached, this,
            [&] { shown << readout->currentText(); });
        QTest::mouseClick(child<QPushButton>(&window, "btnReplay"), Qt::LeftButton);
        QVERIFY(replay->isReplaying());
        QCOMPARE(label->text(), QStringLiteral("回放中"));
        QCOMPARE(child<QStackedWidget>(&window, "stackedWidget")->currentIndex(), 1);
        QVERIFY(child(&window, "replayBar")->isVisible());
        auto *speed = child<QComboBox>(&window, "cmbReplaySpeed");
        speed->setCurrentIndex(speed->findData(10));
        QSignalSpy finished(replay->replayer(), &RunReplayer::finished);
        QVERIFY(finished.wait(10000));

        // In order, each a recorded value, many of them shown, the last one last.
        // Ten times a run of ten rows a second outpaces the display's steps: some rows pass unseen.
        QVERIFY2(shown.size() >= 20 && shown.size() < 100, qPrintable(shown.join(' ')));
        int previous = -1;
        for (const QString &text : qAsConst(shown)) {
            const int index = (text.toInt() - 100) / 3;
            QVERIFY2(
                text.toInt() == 100 + 3 * index && index > previous, qPrintable(shown.join(' ')));
            previous = index;
        }
        QCOMPARE(shown.last(), QStringLiteral("397"));

        emit device->parameterChanged(5.0f, 2.5f, 12.5f);
        QCoreApplication::processEvents();
        QCOMPARE(readout->currentText(), QStringLiteral("397"));
        ImageCheck::save(ImageCheck::grab(&window), "replay-needle");

        if (end == "btnBackToLive")
            QTest::mouseClick(child<QPushButton>(&window, end.toLatin1()), Qt::LeftButton);
        else
            child<QAction>(&window, end.toLatin1())->trigger();
        QVERIFY(!replay->isReplaying());
        QCOMPARE(label->text(), QStringLiteral("设备未连接"));
        QVERIFY(!child(&window, "replayBar")->isVisible());
        QCOMPARE(readout->currentText(), QStringLiteral("2500"));
        emit device->parameterChanged(5.0f, 0.25f, 1.25f);
        QCoreApplication::processEvents();
        QCOMPARE(readout->currentText(), QStringLiteral("250"));
    }
};

int main(int argc, char *argv[])
{
    // The window keeps Settings.ini beside the executable: run from a copy.
    if (!isInTemporaryAppDir())
        return runInTemporaryAppDir(argc, argv);
    QApplication app(argc, argv);
    TestReplay test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_replay.moc"
