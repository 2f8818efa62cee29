// SPDX-License-Identifier: GPL-3.0-or-later
// What the window's recording costs: the CPU of the window on the combined page
// fed ten measurements a second, in stretches without and with a recording in
// the same run, and the resident memory of a recording and of the window's
// history as they grow far past a day; and what one JSON line costs written by
// hand, as the recording and the broker get it, beside the same line built with
// Qt's JSON classes, twice each in turn.
//
//   bench_recording [--seconds s per stretch, default 15] [--stretches n, default 4]
//                   [--json-only]
//
// Run it with QT_QPA_PLATFORM=offscreen and a release build.

#include "commoncurrentusbdevice.h"
#include "loadprofile.h"
#include "mainwindow.h"
#include "measurementhistory.h"
#include "processfigures.h"
#include "recordwriter.h"
#include "temporaryappdir.h"
#include "windowrecorder.h"

#include <QAction>
#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>

#include <cstdio>

namespace {

using ProcessFigures::MB;

Measurement measurementAt(const LoadProfile &profile, quint64 index)
{
    const MeterReading r = profile.reading(index);
    Measurement measurement;
    measurement.time = QDateTime::currentDateTime();
    measurement.elapsedSeconds = index / 10.0;
    measurement.voltage = r.microvolts / 1e6;
    measurement.current = r.microamperes / 1e6;
    measurement.power = r.microwatts / 1e6;
    return measurement;
}

void measureCpu(const QString &folder, int seconds, int stretches)
{
    QSettings(QCoreApplication::applicationDirPath() + QStringLiteral("/Settings.ini"),
        QSettings::IniFormat)
        .setValue("recordingsFolder", folder);
    MainWindow window;
    window.resize(1280, 720);
    window.show();
    window.findChild<QAction *>(QStringLiteral("actionCurveNeedle"))->trigger();
    auto *device = window.findChild<CommonCurrentUSBDevice *>();
    emit device->deviceOnline();
    const LoadProfile profile = LoadProfile::bench();
    quint64 index = 0;
    QTimer poll;
    poll.setTimerType(Qt::PreciseTimer);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        const MeterReading r = profile.reading(index++);
        emit device->parameterChanged(
            float(r.microvolts / 1e6), float(r.microamperes / 1e6), float(r.microwatts / 1e6));
    });
    poll.start(100);
    ProcessFigures::runFor(3000);

    auto *record = window.findChild<QPushButton *>(QStringLiteral("btnRecord"));
    const qint64 pid = QCoreApplication::applicationPid();
    double without = 0;
    double with = 0;
    for (int stretch = 0; stretch < stretches; ++stretch) {
        const double off = ProcessFigures::cpuPercentOver(pid, seconds * 1000);
        record->click();
        const double on = ProcessFigures::cpuPercentOver(pid, seconds * 1000);
        record->click();
        std::printf("stretch %d: without a recording %.2f %%, with %.2f %% of a core\n",
            stretch + 1, off, on);
        std::fflush(stdout);
        without += off;
        with += on;
    }
    std::printf("cpu without %.2f %%, with %.2f %%, recording adds %.2f %% of a core\n",
        without / stretches, with / stretches, (with - without) / stretches);
}

void measureMemory(const QString &folder)
{
    const LoadProfile profile = LoadProfile::bench();
    WindowRecorder recorder;
    recorder.start(folder, RecordWriter::Csv);
    RunTotals run;
    quint64 index = 0;
    const auto feed = [&](quint64 count) {
        for (quint64 end = index + count; index < end; ++index) {
            const Measurement measurement = measurementAt(profile, index);
            run.add(measurement);
            recorder.add(QString(), measurement, run);
        }
        return ProcessFigures::residentBytes();
    };
    const double afterHour = feed(36000);
    const double afterDay = feed(864000 - 36000);
    std::printf("recording: resident after 1 h of rows %.2f MB, after 24 h %.2f MB, "
                "growth %.2f MB\n",
        afterHour / MB, afterDay / MB, (afterDay - afterHour) / MB);
    recorder.stop();

    MeasurementHistory history;
    quint64 sample = 0;
    const auto append = [&](quint64 count) {
        for (quint64 end = sample + count; sample < end; ++sample) {
            const Measurement m = measurementAt(profile, sample);
            history.append({m.elapsedSeconds, float(m.voltage), float(m.current), float(m.power)});
        }
        return ProcessFigures::residentBytes();
    };
    const double day = append(MeasurementHistory::DefaultCapacity + 8192);
    const double week = append(6 * MeasurementHistory::DefaultCapacity);
    std::printf("history: resident after 1 day %.2f MB, after 7 days %.2f MB, growth %.2f MB\n",
        day / MB, week / MB, (week - day) / MB);
}

// The same row as RecordWriter::line(Jsonl, ...), from Qt's JSON classes.
QByteArray jsonObjectLine(const Measurement &m, double chargeMah, double energyMwh)
{
    const QJsonObject row {
        {"time", m.time.toOffsetFromUtc(m.time.offsetFromUtc()).toString(Qt::ISODateWithMs)},
        {"elapsed_s", m.elapsedSeconds}, {"voltage_V", m.voltage}, {"current_A", m.current},
        {"power_W", m.power}, {"charge_mAh", chargeMah}, {"energy_mWh", energyMwh}};
    return QJsonDocument(row).toJson(QJsonDocument::Compact);
}

void measureJsonLines()
{
    const LoadProfile profile = LoadProfile::bench();
    const int rows = 200000;
    QVector<Measurement> measurements;
    for (int i = 0; i < rows; ++i)
        measurements << measurementAt(profile, quint64(i));
    // Microseconds a row; the bytes written keep the work from being optimised away.
    const auto perRow = [&](auto line, qint64 *bytes) {
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < rows; ++i)
            *bytes += line(measurements.at(i), i * 1e-3, i * 5e-3).size();
        return timer.nsecsElapsed() / 1000.0 / rows;
    };
    for (int round = 1; round <= 2; ++round) {
        qint64 handBytes = 0;
        qint64 classBytes = 0;
        const double byHand = perRow(
            [](const Measurement &m, double charge, double energy) {
                return RecordWriter::line(RecordWriter::Jsonl, m, charge, energy);
            },
            &handBytes);
        const double byClasses = perRow(jsonObjectLine, &classBytes);
        // At ten rows a second, t microseconds a row are t / 1000 % of a core.
        std::printf("json line %d: by hand %.2f us (%lld bytes), by QJsonObject %.2f us (%lld "
                    "bytes) a row: %.4f %% and %.4f %% of a core at 10 rows a second\n",
            round, byHand, handBytes / rows, byClasses, classBytes / rows, byHand / 1000,
            byClasses / 1000);
        std::fflush(stdout);
    }
}

} // namespace

int main(int argc, char *argv[])
{
    // The window keeps Settings.ini beside the executable: run from a copy.
    if (!isInTemporaryAppDir())
        return runInTemporaryAppDir(argc, argv);
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addOption({"seconds", "Seconds of each stretch.", "s", "15"});
    parser.addOption({"stretches", "Stretches without and with a recording.", "n", "4"});
    parser.addOption({"json-only", "Only the cost of a JSON line, by hand and by Qt's classes."});
    parser.process(app);
    measureJsonLines();
    if (parser.isSet("json-only"))
        return 0;
    QTemporaryDir folder;
    measureCpu(folder.path(), qMax(1, parser.value("seconds").toInt()),
        qMax(1, parser.value("stretches").toInt()));
    measureMemory(folder.path());
    return 0;
}
