// SPDX-License-Identifier: GPL-3.0-or-later
#include "console.h"
#include "displaycolors.h"
#include "eventlog.h"
#include "exitstatus.h"
#include "fleetrecorder.h"
#include "loggeroptions.h"
#include "meterpublisher.h"
#include "meterrecorder.h"
#include "recordingreader.h"
#include "recordwriter.h"
#include "runplot.h"
#include "runtotals.h"
#include "signalwatcher.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>

#include <cstdio>
#include <memory>

namespace {

// How long an ending recorder waits for the broker to take what it still holds.
const int PublishingEndMs = 5000;

QStringList argumentList(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

// Found out before any waiting, not after a night's recording.
bool canWrite(const QString &fileName)
{
    QFile file(fileName);
    const bool existed = file.exists();
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return false;
    file.close();
    if (!existed)
        file.remove();
    return true;
}

// The window's colours, so that a picture reads like the window.
RunPlot::Colors windowColors()
{
    return {DisplayColors::background, DisplayColors::axis, DisplayColors::current,
        DisplayColors::power};
}

int savePlot(RunPlot &plot, const QString &fileName, const RunTotals &totals, int status)
{
    if (plot.save(fileName, totals.summary()))
        return status;
    Console::say(plot.errorString());
    return status == ExitStatus::Ok ? ExitStatus::OutputError : status;
}

int plotRecording(const LoggerOptions &options)
{
    RunTotals totals;
    RunPlot plot(windowColors());
    RecordingReader reader;
    const bool read = reader.read(options.from, [&totals, &plot](const Measurement &measurement) {
        plot.add(measurement, totals.add(measurement));
    });
    if (!read) {
        Console::say(reader.errorString());
        return ExitStatus::OutputError;
    }
    return savePlot(plot, options.plot, totals, ExitStatus::Ok);
}

void warnAboutCredentials(const BrokerSettings &mqtt)
{
    if (mqtt.passwordFileOpenToOthers())
        Console::say(QStringLiteral("warning: other users can read the password file %1; make it "
                                    "yours alone with chmod 600 %1")
                         .arg(mqtt.passwordFile));
    if (mqtt.credentialsInClear())
        Console::say(QStringLiteral("warning: the user name and password go to %1 unencrypted; "
                                    "an mqtts:// broker would protect them")
                         .arg(mqtt.url));
}

int record(const LoggerOptions &options)
{
    if (!options.plot.isEmpty() && !canWrite(options.plot)) {
        Console::say(QStringLiteral("cannot write the picture %1").arg(options.plot));
        return ExitStatus::OutputError;
    }
    if (QFileInfo(options.output).isFile() && !options.append && !options.force) {
        Console::say(QStringLiteral("%1 exists; --append adds to it, --force overwrites it")
                         .arg(options.output));
        return ExitStatus::OutputError;
    }
    RecordWriter writer;
    const bool publishOnly = options.publishes() && options.output.isEmpty();
    if (!publishOnly && !writer.open(options.output, options.format, options.append)) {
        Console::say(writer.errorString());
        return ExitStatus::OutputError;
    }
    // Beside a file only: standard output is one stream, and a publisher has no file.
    EventLog events;
    if (!options.output.isEmpty() && !events.open(options.output, options.append)) {
        Console::say(events.errorString());
        return ExitStatus::OutputError;
    }
    RunPlot plot(windowColors());
    MeterRecorder recorder(options, writer, options.plot.isEmpty() ? nullptr : &plot, &events);
    SignalWatcher signalWatcher;
    QObject::connect(&signalWatcher, &SignalWatcher::terminationRequested, &recorder,
        [&recorder] { recorder.finish(ExitStatus::Ok, QStringLiteral("signal")); });
    std::unique_ptr<MeterPublisher> publisher;
    if (options.publishes()) {
        warnAboutCredentials(options.mqtt);
        publisher = std::make_unique<MeterPublisher>(options.mqtt);
        recorder.publishTo(*publisher);
    }
    QObject::connect(&recorder, &MeterRecorder::finished, qApp, [&publisher](int status) {
        if (!publisher)
            return QCoreApplication::exit(status);
        QObject::connect(publisher.get(), &MeterPublisher::finished, qApp,
            [status] { QCoreApplication::exit(status); });
        publisher->finish(PublishingEndMs);
    });
    recorder.start();
    const int status = qApp->exec();
    if (!recorder.stopSummary().isEmpty())
        Console::say(recorder.stopSummary());
    Console::say(recorder.totals().summary());
    Console::say(QStringLiteral("replies dropped for a bad CRC: %1").arg(recorder.droppedFrames()));
    if (publisher)
        Console::say(publisher->summary());
    return options.plot.isEmpty() ? status
                                  : savePlot(plot, options.plot, recorder.totals(), status);
}

// Each meter's files are named only once it comes; their folder is known now.
int recordAll(const LoggerOptions &options)
{
    for (const QString &fileName : {options.output, options.plot}) {
        const QFileInfo folder(QFileInfo(fileName).absolutePath());
        if (!fileName.isEmpty() && !(folder.isDir() && folder.isWritable())) {
            Console::say(QStringLiteral("cannot write %1: %2 is no folder that can be written")
                             .arg(fileName, folder.filePath()));
            return ExitStatus::OutputError;
        }
    }
    if (options.publishes())
        warnAboutCredentials(options.mqtt);
    FleetRecorder fleet(options, windowColors());
    SignalWatcher signalWatcher;
    QObject::connect(&signalWatcher, &SignalWatcher::terminationRequested, &fleet,
        [&fleet] { fleet.finish(ExitStatus::Ok, QStringLiteral("signal")); });
    QObject::connect(&fleet, &FleetRecorder::finished, qApp, &QCoreApplication::exit);
    fleet.start();
    return fleet.report(qApp->exec());
}

} // namespace

int main(int argc, char *argv[])
{
    LoggerOptions options;
    QString error;
    switch (options.parse(argumentList(argc, argv), &error)) {
    case LoggerOptions::ShowHelp: {
        // The usage line names the program as the user knows it, not by its path.
        char name[] = "ammeter-log";
        char *nameOnly[] = {name, nullptr};
        int one = 1;
        QCoreApplication app(one, nameOnly);
        std::printf("%s", qPrintable(LoggerOptions::helpText()));
        return ExitStatus::Ok;
    }
    case LoggerOptions::ShowVersion:
        std::printf("ammeter-log %s\n", AMMETER_VERSION);
        return ExitStatus::Ok;
    case LoggerOptions::Invalid:
        if (error.endsWith(QLatin1Char('.')))
            error.chop(1);
        Console::say(error + QStringLiteral(" (see ammeter-log --help)"));
        return ExitStatus::Usage;
    case LoggerOptions::Run:
        break;
    }
    // Over SSH and in CI there is no display; the port monitor's hidden widget
    // and the picture need a platform all the same, and this one needs none.
    // Windows needs no display for its own, and its device notifications need
    // the real window handle that only its own platform gives the widget.
#ifndef Q_OS_WIN
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
#endif
    QApplication app(argc, argv);
    // The device layer's debug trace would drown the recorder's own lines;
    // QT_LOGGING_RULES still brings it back.
    QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
    if (!options.from.isEmpty())
        return plotRecording(options);
    return options.all ? recordAll(options) : record(options);
}
