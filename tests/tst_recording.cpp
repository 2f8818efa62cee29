// SPDX-License-Identifier: GPL-3.0-or-later
#include "appsettings.h"
#include "childwidget.h"
#include "eventlist.h"
#include "eventlog.h"
#include "imagecheck.h"
#include "mainwindow.h"
#include "measurementfeed.h"
#include "meterbench.h"
#include "metertiles.h"
#include "programundertest.h"
#include "quihelper.h"
#include "quimessagebox.h"
#include "recordedrun.h"
#include "recordingcheck.h"
#include "runfigures.h"
#include "runstatusbar.h"
#include "savecontroller.h"
#include "simulatedmeter.h"
#include "temporaryappdir.h"
#include "textpacer.h"
#include "windowrecorder.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QSettings>
#include <QToolButton>
#include <QtTest>

#include <tuple>

#include <csignal>
#include <memory>

namespace {

const char *const ChildArgument = "--record-until-killed";

QString recordingsFolder()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/recordings");
}

QStringList recordings()
{
    QStringList paths;
    for (const QFileInfo &entry :
        QDir(recordingsFolder()).entryInfoList({"ammeter-*.csv"}, QDir::Files, QDir::Name))
        paths << entry.filePath();
    return paths;
}

// The recordings made since those listed in before.
QStringList recordingsSince(const QStringList &before)
{
    QStringList paths = recordings();
    for (const QString &old : before)
        paths.removeOne(old);
    return paths;
}

QList<QByteArray> lines(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll().split('\n') : QList<QByteArray>();
}

int rowCount(const QString &path)
{
    return qMax(0, int(lines(path).size()) - 2);
}

// The recording window of a second process, which the test ends with SIGKILL.
int recordUntilKilled(int argc, char *argv[])
{
    QApplication app(argc, argv);
    MainWindow window;
    window.show();
    auto *state = child<QLabel>(&window, "lblDeviceState");
    if (!QTest::qWaitFor([state] { return state->text() == "设备已连接"; }, 20000))
        return 1;
    // The stimulus, not a wait: a recording timed from the window's start shows this second.
    QTest::qWait(1000);
    child<QPushButton>(&window, "btnRecord")->click();
    std::printf("recording\n");
    std::fflush(stdout);
    return app.exec();
}

} // namespace

// The window records through its button on an emulated USB bus, a meter plugged
// in and pulled out; the file is read back with Python's csv module against what
// the simulated meter sent. The cases run in order on one window.
class TestRecording : public QObject
{
    Q_OBJECT

public:
    explicit TestRecording(MeterBench &bench)
        : m_bench(bench)
        , m_meter(bench.addMeter(QStringLiteral("REC-01")))
    { }

private slots:
    void initTestCase()
    {
        QVERIFY2(MeterBench::inMockEnvironment(), "run under umockdev-wrapper");
        QDir(recordingsFolder()).removeRecursively();
        QSettings settings(
            QCoreApplication::applicationDirPath() + "/Settings.ini", QSettings::IniFormat);
        settings.setValue("recordingsFolder", recordingsFolder());
    }
    void cleanup()
    {
        if (QTest::currentTestFailed())
            qInfo("%s", qPrintable(m_childOutput));
    }

    // A kill in the middle of a recording leaves every row written whole and readable.
    void killLeavesWholeRows()
    {
        m_meter->setProfile(LoadProfile::constant(5.0, 0.2, 1.0));
        QVERIFY2(m_meter->plug(), qPrintable(m_meter->errorString()));
        QProcess recorder;
        recorder.setProcessChannelMode(QProcess::MergedChannels);
        recorder.start(QCoreApplication::applicationFilePath(), {ChildArgument});
        QTRY_VERIFY_WITH_TIMEOUT(
            recordings().size() == 1 && rowCount(recordings().first()) >= 20, 30000);
        ::kill(pid_t(recorder.processId()), SIGKILL);
        QVERIFY(recorder.waitForFinished(10000));
        m_childOutput = QString::fromUtf8(recorder.readAll());
        QCOMPARE(recorder.exitStatus(), QProcess::CrashExit);
        const QString path = recordings().first();
        const QString error = checkRecording({path, "0.2"});
        QVERIFY2(error.isEmpty(), qPrintable(error));
        m_meter->unplug();
        QFile::remove(path);
    }

    void recordsThroughUnplugAndReplug()
    {
        m_window = std::make_unique<MainWindow>();
        QUIHelper::applySkin(15);
        m_window->resize(1280, 720);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        auto *record = child<QPushButton>(m_window.get(), "btnRecord");
        // No meter yet: the recording starts all the same, and waits.
        record->click();
        QElapsedTimer sincePress;
        sincePress.start();
        QCOMPARE(record->text(), "停止录制");
        QCOMPARE(recordings().size(), 1);
        const QString path = recordings().first();
        QCOMPARE(record->toolTip(), QDir::toNativeSeparators(path));

        m_meter->setProfile(LoadProfile::constant(5.0, 0.2, 1.0));
        QVERIFY(m_meter->plug());
        QTRY_VERIFY_WITH_TIMEOUT(rowCount(path) >= 1, 20000);
        const QString firstRowBy = QString::number(sincePress.elapsed() / 1000.0);
        QTRY_VERIFY_WITH_TIMEOUT(rowCount(path) >= 15, 20000);
        renderInBothLanguages("recording");
        m_meter->unplug();
        QTRY_COMPARE_WITH_TIMEOUT(
            child<QLabel>(m_window.get(), "lblDeviceState")->text(), "设备未连接", 10000);
        const int rowsBeforeGap = rowCount(path);
        // Two seconds without a meter: long enough to read as a gap.
        QTest::qWait(2000);
        QCOMPARE(rowCount(path), rowsBeforeGap);
        m_meter->setProfile(LoadProfile::constant(5.0, 0.5, 2.5));
        QVERIFY(m_meter->plug());
        QTRY_VERIFY_WITH_TIMEOUT(rowCount(path) >= rowsBeforeGap + 15, 20000);
        record->click();
        QCOMPARE(record->text(), "开始录制");
        QVERIFY(!child<QLabel>(m_window.get(), "lblRecordingMark")->isVisible());
        const int rows = rowCount(path);
        QTRY_COMPARE_WITH_TIMEOUT(rowCount(path), rows, 500);
        const QString error = checkRecording({path, "0.2,0.5", "--first-within", firstRowBy});
        QVERIFY2(error.isEmpty(), qPrintable(error));
        // Its summary is left beside it, so that however long it ran it opens without a reading.
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(path + ".summary"), 5000);
        RecordedRun run;
        QVERIFY(run.load(path));
        QVERIFY(run.summaryWasKept());
        QCOMPARE(run.rowCount(), qint64(rows));
    }

    // The status bar's run figures and a recording of the same measurements
    // agree to the last digit shown.
    void statusBarAgreesWithFile()
    {
        m_meter->unplug();
        QTRY_COMPARE_WITH_TIMEOUT(
            child<QLabel>(m_window.get(), "lblDeviceState")->text(), "设备未连接", 10000);
        m_meter->setProfile(LoadProfile::bench(7));
        QVERIFY(m_meter->plug());
        QTRY_COMPARE_WITH_TIMEOUT(
            child<QLabel>(m_window.get(), "lblDeviceState")->text(), "设备已连接", 20000);
        const int before = recordings().size();
        child<QToolButton>(m_window.get(), "btnResetFigures")->click();
        child<QPushButton>(m_window.get(), "btnRecord")->click();
        const QString path = recordings().constLast();
        QCOMPARE(recordings().size(), before + 1);
        QTRY_VERIFY_WITH_TIMEOUT(rowCount(path) >= 40, 20000);
        child<QPushButton>(m_window.get(), "btnRecord")->click();
        const QString shown = child<QLabel>(m_window.get(), "lblRunFigures")->text();

        QList<QByteArray> rows = lines(path).mid(1);
        rows.removeAll(QByteArray());
        double minimum = 1e9, maximum = -1, sum = 0;
        for (const QByteArray &row : rows) {
            const double current = row.split(',').at(3).toDouble();
            minimum = qMin(minimum, current);
            maximum = qMax(maximum, current);
            sum += current;
        }
        const QList<QByteArray> last = rows.last().split(',');
        const QString expected = QStringLiteral("最小 %1 / 平均 %2 / 最大 %3 A  %4 mAh  %5 mWh")
                                     .arg(minimum, 0, 'f', 3)
                                     .arg(sum / rows.size(), 0, 'f', 3)
                                     .arg(maximum, 0, 'f', 3)
                                     .arg(last.at(5).toDouble(), 0, 'f', 3)
                                     .arg(last.at(6).toDouble(), 0, 'f', 3);
        QVERIFY2(shown.contains(expected), qPrintable(shown + " / " + expected));
        QVERIFY(maximum > minimum);
    }

    // Texts that change with every measurement are shown twice a second, not ten times: a
    // change soon after the last one shown waits, and comes with the newest figures. A reset
    // shows its zeros at once, and the large clock is told only when its text changes.
    void textsFollowAtAReadersPace()
    {
        int shown = 0;
        QElapsedTimer sinceFirst;
        TextPacer pacer([&] {
            if (shown++ == 0)
                sinceFirst.start();
        });
        pacer.soon();
        pacer.soon();
        pacer.soon();
        QCOMPARE(shown, 1);
        QTRY_COMPARE(shown, 2);
        QVERIFY2(sinceFirst.elapsed() >= TextPacer::IntervalMs - 5,
            qPrintable(QString::number(sinceFirst.elapsed())));
        pacer.now();
        QCOMPARE(shown, 3);

        auto *label = child<QLabel>(m_window.get(), "lblRunFigures");
        QSignalSpy clock(m_window->findChild<RunStatusBar *>(), &RunStatusBar::clockChanged);
        QSignalSpy measured(m_window->findChild<MeasurementFeed *>(), &MeasurementFeed::measured);
        QTRY_VERIFY_WITH_TIMEOUT(measured.count() >= 15, 10000);
        for (int i = 1; i < clock.count(); ++i)
            QVERIFY2(clock.at(i) != clock.at(i - 1), qPrintable(clock.at(i).value(0).toString()));
        // Just after the figures were shown, when the next measurement would wait.
        const QString before = label->text();
        QTRY_VERIFY(label->text() != before);
        child<QToolButton>(m_window.get(), "btnResetFigures")->click();
        QVERIFY2(
            label->text().contains("本次 00:00:00  电流 最小 – / 平均 – / 最大 – A  0.000 mAh"),
            qPrintable(label->text()));
        QTRY_VERIFY(!label->text().contains("最小 –"));
    }

    // A window held up for 3 s delays only its drawing: every measurement of the stall comes
    // afterwards with its own time, in the recording, the run's figures and the history.
    void stalledWindowLosesNothing()
    {
        child<QToolButton>(m_window.get(), "btnResetFigures")->click();
        child<QPushButton>(m_window.get(), "btnRecord")->click();
        const QString path = recordings().constLast();
        QTRY_VERIFY_WITH_TIMEOUT(rowCount(path) >= 10, 20000);
        MeterSimulator *line = m_meter->line();
        const int polled = line->requestCount(MeterSimulator::MeasurementRequest);
        const QDateTime from = QDateTime::currentDateTime();
        const qint64 fromNs = Measurement::monotonicNow();
        QThread::msleep(3000); // the stall under test, not a wait for anything
        const QDateTime to = QDateTime::currentDateTime();
        const qint64 toNs = Measurement::monotonicNow();
        const int duringStall = line->requestCount(MeterSimulator::MeasurementRequest) - polled;
        QVERIFY2(duringStall >= 25, qPrintable(QString::number(duringStall)));
        const int rowsBefore = rowCount(path);
        QTRY_VERIFY_WITH_TIMEOUT(rowCount(path) >= rowsBefore + 10, 10000);
        child<QPushButton>(m_window.get(), "btnRecord")->click();

        QList<QByteArray> rows = lines(path).mid(1);
        rows.removeAll(QByteArray());
        int inStall = 0;
        double previous = -1, longestStep = 0;
        for (const QByteArray &row : rows) {
            const QList<QByteArray> fields = row.split(',');
            const double elapsed = fields.at(1).toDouble();
            QVERIFY2(elapsed > previous, row.constData());
            if (previous >= 0)
                longestStep = qMax(longestStep, elapsed - previous);
            previous = elapsed;
            const QDateTime time = QDateTime::fromString(fields.at(0), Qt::ISODateWithMs);
            inStall += time >= from && time <= to;
        }
        QVERIFY2(longestStep < 0.5, qPrintable(QString::number(longestStep)));
        QVERIFY2(inStall >= duringStall - 2, qPrintable(QString::number(inStall)));
        QVERIFY(m_window->findChild<RunFigures *>()->totals().count() >= rows.size());
        const MeasurementHistory &history = m_window->findChild<MeasurementFeed *>()->history();
        QCOMPARE(history.countBetween(history.secondsAt(fromNs), history.secondsAt(toNs)), inStall);
    }

    // Recordings started in the same second, by this window, another or ammeter-log, each take
    // a file of their own; none truncates another's.
    void simultaneousRecordingsGetTheirOwnFiles()
    {
        WindowRecorder first, second, third;
        QVERIFY(first.start(recordingsFolder(), RecordWriter::Csv));
        QVERIFY(second.start(recordingsFolder(), RecordWriter::Csv));
        QVERIFY(third.start(recordingsFolder(), RecordWriter::Csv));
        const QSet<QString> paths {first.filePath(), second.filePath(), third.filePath()};
        QCOMPARE(paths.size(), 3);
        for (WindowRecorder *recorder : {&first, &second, &third}) {
            recorder->stop();
            QFile::remove(recorder->filePath());
            QFile::remove(recorder->filePath() + ".events");
        }
    }

    // A battery run down to its cut-off while the window records: the status line says what
    // ends it, a note goes in, the recording stops by itself as Stop does with a notice that
    // does not block, and its events come back in playback.
    void stopsByItselfAtItsCondition()
    {
        auto *settings = m_window->findChild<AppSettings *>();
        settings->setStopCondition(StopCondition(StopCondition::VoltageBelow, 3.5));
        m_meter->unplug();
        QTRY_COMPARE_WITH_TIMEOUT(
            child<QLabel>(m_window.get(), "lblDeviceState")->text(), "设备未连接", 10000);
        auto *record = child<QPushButton>(m_window.get(), "btnRecord");
        const QStringList before = recordings();
        record->click();
        auto *details = child<QLabel>(m_window.get(), "lblRecordingDetails");
        QVERIFY2(details->text().startsWith("录制至电压低于 3.50 V"), qPrintable(details->text()));
        m_window->switchLanguage("en");
        QTRY_VERIFY2(details->text().startsWith("Recording until voltage below 3.50 V"),
            qPrintable(details->text()));
        m_window->switchLanguage("zh");
        QTRY_COMPARE(record->text(), "停止录制");
        m_meter->setProfile(LoadProfile::discharge(4.2, 3.0, 40, 10));
        QVERIFY(m_meter->plug());
        // The file is named after its meter, so it is made when the meter comes.
        QTRY_COMPARE_WITH_TIMEOUT(recordingsSince(before).size(), 1, 20000);
        const QString path = recordingsSince(before).constFirst();
        QTRY_VERIFY2_WITH_TIMEOUT(rowCount(path) >= 5, qPrintable(details->text()), 20000);
        child<QLineEdit>(m_window.get(), "editNote")->setText("负载接通");
        child<QToolButton>(m_window.get(), "btnNote")->click();
        QTRY_COMPARE_WITH_TIMEOUT(record->text(), "开始录制", 20000);
        QUIMessageBox *box = QUIMessageBox::instance();
        QTRY_VERIFY(box->isVisible());
        QVERIFY(!box->isModal());
        const QString told = child<QLabel>(box, "labInfo")->text();
        QVERIFY2(
            told.startsWith("录制已停止：电压低于 3.50 V（3.") && told.contains("用时 00:00:0"),
            qPrintable(told));
        QCOMPARE(details->text(), told);
        box->close();
        for (const QString &language : {"en", "zh"}) {
            m_window->switchLanguage(language);
            QTRY_VERIFY(details->text().startsWith(
                language == "en" ? "Recording stopped: voltage below 3.50 V (3." : "录制已停止"));
            ImageCheck::save(ImageCheck::grab(m_window.get()), "recording-stopped-" + language);
            QVERIFY2(details->fontMetrics().horizontalAdvance(details->text()) <= details->width(),
                qPrintable(details->text()));
        }
        QVERIFY(lines(path).at(rowCount(path)).split(',').at(2).toDouble() < 3.5);
        auto *life = child<QLabel>(m_window.get(), "lblBatteryLife");
        QVERIFY2(life->isVisible() && life->text().startsWith("按此平均电流，2000 mAh 可用 "),
            qPrintable(life->text()));

        QStringList kinds;
        for (const RunEvent &event : EventLog::read(path))
            kinds << RunEvent::keyword(event.kind) + ' ' + event.text;
        QCOMPARE(kinds.first(), "started ");
        // The meter's file begins when the meter comes, so its plug is its start.
        QVERIFY2(kinds.contains("note 负载接通")
                && kinds.at(kinds.size() - 2).startsWith("condition voltage below 3.5 V (3.")
                && kinds.last() == "stopped stop condition",
            qPrintable(kinds.join(" / ")));
        QVERIFY(m_window->openRecordings({path}));
        QTRY_COMPARE_WITH_TIMEOUT(m_window->findChild<EventList *>()->count(), kinds.size(), 10000);
        m_window->findChild<QAction *>("actionCurveNeedle")->trigger();
        settings->setStopCondition(StopCondition());
    }

    // A folder that cannot be made is told in the message box with its path; the
    // live display goes on.
    void unwritableFolderIsAnswered()
    {
        QDir(recordingsFolder()).removeRecursively();
        QFile blocker(recordingsFolder());
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        auto *record = child<QPushButton>(m_window.get(), "btnRecord");
        record->click();
        QUIMessageBox *box = QUIMessageBox::instance();
        QTRY_VERIFY(box->isVisible());
        const QString told = child<QLabel>(box, "labInfo")->text();
        QVERIFY2(told.contains(QDir::toNativeSeparators(recordingsFolder())), qPrintable(told));
        ImageCheck::save(ImageCheck::grab(box), "recording-unwritable-folder");
        box->close();
        QCOMPARE(record->text(), "开始录制");
        auto *current = child<QLabel>(child(m_window.get(), "widget_2"), "lblCurrent");
        const QString reading = current->text();
        QTRY_VERIFY_WITH_TIMEOUT(current->text() != reading, 5000);
        QFile::remove(recordingsFolder());
    }

    // A full disk, on a small filesystem of its own: the recording line warns while less than
    // an hour fits, then the recording stops with a message naming the file, every row written
    // before stays whole in it, and the window goes on measuring.
    void fullDiskStopsCleanly()
    {
        m_window->switchLanguage("zh");
        QVERIFY(QDir().mkpath(recordingsFolder()));
        QProcess mount;
        mount.setProcessChannelMode(QProcess::MergedChannels);
        mount.start("mount", {"-t", "tmpfs", "-o", "size=32k", "tmpfs", recordingsFolder()});
        if (!mount.waitForFinished(10000) || mount.exitCode() != 0)
            QSKIP(qPrintable("no small filesystem can be mounted here, so the full-disk stop is "
                             "not tested: "
                + QString::fromLocal8Bit(mount.readAll()).trimmed()));
        const auto unmount = qScopeGuard([] {
            QProcess::execute("umount", {"-l", recordingsFolder()});
        });
        auto *record = child<QPushButton>(m_window.get(), "btnRecord");
        QSignalSpy written(m_window->findChild<WindowRecorder *>(), &WindowRecorder::rowWritten);
        record->click();
        QCOMPARE(record->text(), "停止录制");
        const QString path = recordings().constLast();
        auto *details = child<QLabel>(m_window.get(), "lblRecordingDetails");
        QTRY_VERIFY2_WITH_TIMEOUT(
            details->text().contains("不足一小时"), qPrintable(details->text()), 20000);
        QUIMessageBox *box = QUIMessageBox::instance();
        QTRY_VERIFY_WITH_TIMEOUT(box->isVisible(), 60000);
        const QString told = child<QLabel>(box, "labInfo")->text();
        QVERIFY2(told.contains(QDir::toNativeSeparators(path)), qPrintable(told));
        box->close();
        QCOMPARE(record->text(), "开始录制");
        RecordedRun run;
        QVERIFY(run.load(path));
        QVERIFY(!run.skippedTornLine());
        QCOMPARE(run.rowCount(), written.count());
        // The meter may hold a steady reading by now: what counts is that measurements still come.
        QSignalSpy measured(m_window->findChild<MeasurementFeed *>(), &MeasurementFeed::measured);
        QVERIFY(measured.wait(5000));
    }

    // "保存": the window's history as a recording, written in the background while the
    // window goes on, the window as a picture; a target that cannot be written is told.
    void saveWritesHistoryAndPicture()
    {
        auto *saver = m_window->findChild<SaveController *>();
        QVERIFY(saver);
        QSignalSpy finished(saver, &SaveController::finished);
        QVERIFY(saver->suggestedFileName().startsWith(recordingsFolder() + "/ammeter-"));
        const QString csv = QDir::temp().filePath("tst_recording-history.csv");
        QVERIFY(saver->saveTo(csv));
        QVERIFY(finished.wait(10000));
        QCOMPARE(finished.takeFirst().at(0).toBool(), true);
        // Every measurement since the window opened: both plugs of the first case and this one.
        QVERIFY(rowCount(csv) >= 30 + 40);
        QCOMPARE(lines(csv).first(),
            QByteArray("time,elapsed_s,voltage_V,current_A,power_W,charge_mAh,energy_mWh"));
        const QString png = QDir::temp().filePath("tst_recording-window.png");
        QVERIFY(saver->saveTo(png));
        QCOMPARE(QImage(png).size(), m_window->grab().size());
        QFile::remove(csv);
        QFile::remove(png);
        finished.clear();
        QVERIFY(saver->saveTo("/nonexistent-folder/history.csv"));
        QVERIFY(finished.wait(10000));
        QTRY_VERIFY(QUIMessageBox::instance()->isVisible());
        QVERIFY(child<QLabel>(QUIMessageBox::instance(), "labInfo")
                    ->text()
                    .contains("/nonexistent-folder/history.csv"));
        QUIMessageBox::instance()->close();
    }
    // A dot in the name typed is part of the name: "bench.v2" becomes "bench.v2.csv", and the
    // "bench.csv" beside it stays as it was.
    void saveKeepsADottedName()
    {
        const QString folder = QDir::temp().filePath("tst_recording-dotted");
        QDir(folder).removeRecursively();
        QVERIFY(QDir().mkpath(folder));
        QFile old(folder + "/bench.csv");
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("an earlier run\n") > 0);
        old.close();
        const QString fileName = SaveController::withSuffix(folder + "/bench.v2", ".csv");
        QCOMPARE(fileName, folder + "/bench.v2.csv");
        QCOMPARE(SaveController::withSuffix(folder + "/bench.CSV", ".csv"), folder + "/bench.CSV");
        auto *saver = m_window->findChild<SaveController *>();
        QSignalSpy finished(saver, &SaveController::finished);
        QVERIFY(saver->saveTo(fileName));
        QVERIFY(finished.wait(10000));
        QVERIFY(rowCount(fileName) > 0);
        QCOMPARE(lines(folder + "/bench.csv").first(), QByteArray("an earlier run"));
        QDir(folder).removeRecursively();
    }

    // Two meters beside each other, recorded while one is pulled out and plugged back: each has
    // its own file named after the recording's start, the one plugged in later included, on one
    // clock; the one left in has no hole. Its own tile names each one.
    void recordsEveryMeterThroughAnotherOnesReplug()
    {
        m_meter->unplug();
        SimulatedMeter *a = m_bench.addMeter(QStringLiteral("MTRA0001"));
        SimulatedMeter *b = m_bench.addMeter(QStringLiteral("MTRB0002"));
        a->setProfile(LoadProfile::constant(5.0, 0.1, 0.5));
        b->setProfile(LoadProfile::constant(5.0, 0.3, 1.5));
        QVERIFY(a->plug());
        const auto tile = [this](const QString &meter) {
            for (auto *tile : m_window->findChildren<QToolButton *>("meterTile")) {
                if (tile->property("meter").toString() == meter)
                    return tile;
            }
            return static_cast<QToolButton *>(nullptr);
        };
        const auto text = [&tile](const QString &meter) {
            return tile(meter) ? tile(meter)->text() : QString();
        };
        QTRY_COMPARE_WITH_TIMEOUT(text("MTRA0001"), "MTRA0001  0.1000 A", 20000);

        const QStringList before = recordings();
        const auto newFiles = [&before] { return recordingsSince(before); };
        auto *record = child<QPushButton>(m_window.get(), "btnRecord");
        record->click();
        QCOMPARE(newFiles().size(), 1);
        QVERIFY(b->plug());
        QTRY_COMPARE_WITH_TIMEOUT(text("MTRB0002"), "MTRB0002  0.3000 A", 20000);
        QVERIFY(child(m_window.get(), "meterTiles")->isVisible());
        const QStringList files = newFiles();
        QCOMPARE(files.size(), 2);
        QVERIFY2(files.at(0).endsWith("-MTRA0001.csv") && files.at(1).endsWith("-MTRB0002.csv")
                && files.at(0).chopped(13) == files.at(1).chopped(13),
            qPrintable(files.join(' ')));

        auto *current = child<QLabel>(child(m_window.get(), "widget_2"), "lblCurrent");
        tile("MTRB0002")->click();
        QTRY_COMPARE(current->text(), "0.300");
        QTRY_VERIFY(rowCount(files.at(1)) > 10);
        b->unplug();
        QTRY_COMPARE_WITH_TIMEOUT(text("MTRB0002"), "MTRB0002  已拔出", 10000);
        // The pages go on with the meter still there.
        QTRY_COMPARE_WITH_TIMEOUT(current->text(), "0.100", 10000);
        // B stays out for longer than a second, as A's rows show, so that its file has a gap.
        const int rowsOfA = rowCount(files.at(0));
        QTRY_VERIFY_WITH_TIMEOUT(rowCount(files.at(0)) > rowsOfA + 15, 10000);
        const int rowsOfB = rowCount(files.at(1));
        QVERIFY(b->plug());
        QTRY_VERIFY_WITH_TIMEOUT(rowCount(files.at(1)) > rowsOfB + 10, 20000);
        m_window->findChild<MeterTiles *>()->rename("MTRA0001", "充电器");
        QTRY_COMPARE(text("MTRA0001"), "充电器  0.1000 A");
        ImageCheck::save(ImageCheck::grab(m_window.get()), "recording-two-meters");
        record->click();

        // B's rows are timed from the recording's start, which B joined late.
        for (const auto &[path, sent, within] :
            {std::tuple(files.at(0), "0.1", "0.5"), {files.at(1), "0.3,0.3", "60"}}) {
            const QString error = checkRecording({path, sent, "--first-within", within});
            QVERIFY2(error.isEmpty(), qPrintable(path + ": " + error));
        }
        QVERIFY(lines(files.at(1)).at(1).split(',').at(1).toDouble() > 0.5);
        m_window->findChild<MeterTiles *>()->rename("MTRA0001", QString());
        a->unplug();
        b->unplug();
    }

    void cleanupTestCase()
    {
        m_window.reset();
        m_meter->unplug();
    }

private:
    // The recording's look in Chinese and English; the switch keeps the state,
    // the page's values and its clock.
    void renderInBothLanguages(const QString &name)
    {
        auto *record = child<QPushButton>(m_window.get(), "btnRecord");
        auto *mark = child<QLabel>(m_window.get(), "lblRecordingMark");
        auto *page = child(m_window.get(), "widget_2");
        m_window->findChild<QAction *>("actionCurveNeedle")->trigger();
        QTRY_VERIFY(mark->text().contains("00:00:0") && !mark->text().endsWith("00:00:00"));
        for (const QString &language : {"zh", "en"}) {
            m_window->switchLanguage(language);
            // The switch reaches the widgets as a posted event.
            QTRY_COMPARE(record->text(), language == "zh" ? "停止录制" : "Stop Recording");
            QVERIFY(mark->isVisible());
            QVERIFY(mark->text().startsWith(language == "zh" ? "● 录制中" : "● REC"));
            QVERIFY(child<QLabel>(page, "lblCurrent")->text() == "0.200");
            QVERIFY(child<QLabel>(page, "label")->text() != "00:00:00");
            // The room left on the disk is read whole; the file name gives way.
            auto *details = child<QLabel>(m_window.get(), "lblRecordingDetails");
            QVERIFY2(details->width() >= details->sizeHint().width(), qPrintable(details->text()));
            // So does the battery estimate, with a sign that more follows.
            auto *life = child<QLabel>(m_window.get(), "lblBatteryLife");
            QVERIFY2(!life->isVisible()
                    || (life->fontMetrics().horizontalAdvance(life->text()) <= life->width()
                        && (life->text() == life->toolTip()
                            || life->text().endsWith(QChar(0x2026)))),
                qPrintable(life->text()));
            ImageCheck::save(ImageCheck::grab(m_window.get()), name + "-" + language);
        }
        m_window->switchLanguage("zh");
        QTRY_COMPARE(record->text(), "停止录制");
    }

    MeterBench &m_bench;
    SimulatedMeter *m_meter;
    std::unique_ptr<MainWindow> m_window;
    QString m_childOutput;
};

int main(int argc, char *argv[])
{
    recordInChinaTime();
    if (!isInTemporaryAppDir())
        return runInTemporaryAppDir(argc, argv);
    if (argc > 1 && qstrcmp(argv[1], ChildArgument) == 0)
        return recordUntilKilled(argc, argv);
    // The emulated USB bus has to exist before the application object.
    MeterBench bench(firstTtyNumberOfThisProcess());
    QApplication app(argc, argv);
    TestRecording test(bench);
    return QTest::qExec(&test, argc, argv);
}

#include "tst_recording.moc"
