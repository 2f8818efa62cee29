// SPDX-License-Identifier: GPL-3.0-or-later
#include "metersimulator.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

#include <cmath>
#include <cstdio>
#include <pthread.h>
#include <signal.h>

namespace {

// The largest reading the meter can send: 0xFFFFFFFF micro-units.
const double MaxUnits = 4294.967295;

struct Options
{
    LoadProfile profile = LoadProfile::bench();
    quint16 calibrationValue = 1000;
    MeterSimulator::Faults faults;
    QVector<MeterSimulator::RequestKind> faultyKinds;
};

class OptionReader
{
public:
    explicit OptionReader(const QCommandLineParser &parser)
        : m_parser(parser)
    { }

    bool failed() const { return !m_error.isEmpty(); }
    QString error() const { return m_error; }

    double number(const QString &name, double fallback, double min, double max)
    {
        return read(name, fallback, min, max, false);
    }

    int wholeNumber(const QString &name, int fallback, int min, int max)
    {
        return int(read(name, fallback, min, max, true));
    }

    void fail(const QString &error)
    {
        if (!failed())
            m_error = error;
    }

private:
    double read(const QString &name, double fallback, double min, double max, bool whole)
    {
        if (!m_parser.isSet(name) || failed())
            return fallback;
        bool ok = false;
        const double value = m_parser.value(name).toDouble(&ok);
        if (!ok || !(value >= min && value <= max) || (whole && value != std::floor(value)))
            fail(QStringLiteral("--%1 must be %2 from %3 to %4, not \"%5\"")
                     .arg(name,
                         whole ? QStringLiteral("a whole number") : QStringLiteral("a number"))
                     .arg(min, 0, 'g', 10)
                     .arg(max, 0, 'g', 10)
                     .arg(m_parser.value(name)));
        return failed() ? fallback : value;
    }

    const QCommandLineParser &m_parser;
    QString m_error;
};

void addOptions(QCommandLineParser &parser)
{
    parser.setApplicationDescription(QStringLiteral(
        "Puts a simulated USB current meter on a new pseudo-terminal, prints the\n"
        "terminal's path and answers the meter's requests on it until interrupted\n"
        "(Ctrl+C or SIGTERM). Open the printed path with the ammeter program or any\n"
        "serial terminal at 115200 baud, 8N1."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOptions({
        {{"p", "profile"},
            "What the meter measures: \"bench\" (a device under test idling near 45 mA "
            "with bursts to 350 mA, then 1.2 A, then 3.5 A, at about 5 V) or \"constant\".",
            "name", "bench"},
        {{"s", "seed"}, "Seed of the bench profile; the same seed gives the same readings.", "n",
            "1"},
        {"voltage", "Volts of the constant profile.", "V", "5.0"},
        {"current", "Amperes of the constant profile.", "A", "0.1"},
        {"power", "Watts of the constant profile (default: volts times amperes).", "W"},
        {{"c", "calibration"}, "Calibration value sent in reply to the calibration request.",
            "0-65535", "1000"},
        {{"f", "fault"},
            "Answer badly; repeat to combine: \"silent\" (never answer), \"junk\" (stray bytes "
            "before the header), \"split\" (each reply in two writes), \"double\" (each reply "
            "twice in one write), \"bad-crc\", \"wrong-code\" (the request's code echoed).",
            "name"},
        {{"d", "delay"}, "Answer this many milliseconds after each request.", "ms"},
        {"answer-limit", "Answer only the first n requests of each kind, then go silent.", "n"},
        {"faults-on",
            "Which replies the faults touch: \"measurement\", \"calibration\" or "
            "\"both\".",
            "which", "both"},
    });
}

LoadProfile readProfile(const QCommandLineParser &parser, OptionReader &reader)
{
    const QString name = parser.value("profile");
    const bool constantValuesGiven
        = parser.isSet("voltage") || parser.isSet("current") || parser.isSet("power");
    if (name == QLatin1String("bench")) {
        if (constantValuesGiven)
            reader.fail(QStringLiteral("--voltage, --current and --power need --profile constant"));
        bool ok = false;
        const quint64 seed = parser.value("seed").toULongLong(&ok);
        if (!ok)
            reader.fail(QStringLiteral("--seed must be a whole number, not \"%1\"")
                            .arg(parser.value("seed")));
        return LoadProfile::bench(seed);
    }
    if (name != QLatin1String("constant")) {
        reader.fail(QStringLiteral("unknown profile \"%1\" (bench or constant)").arg(name));
        return LoadProfile::bench();
    }
    if (parser.isSet("seed"))
        reader.fail(QStringLiteral("--seed needs --profile bench"));
    const double volts = reader.number("voltage", 5.0, 0, MaxUnits);
    const double amperes = reader.number("current", 0.1, 0, MaxUnits);
    const double watts = reader.number("power", volts * amperes, 0, MaxUnits);
    return LoadProfile::constant(volts, amperes, watts);
}

void readFault(const QString &name, MeterSimulator::Faults &faults, OptionReader &reader)
{
    if (name == QLatin1String("silent"))
        faults.silent = true;
    else if (name == QLatin1String("junk"))
        faults.junkBeforeHeader = true;
    else if (name == QLatin1String("split"))
        faults.splitFrame = true;
    else if (name == QLatin1String("double"))
        faults.twoFrames = true;
    else if (name == QLatin1String("bad-crc"))
        faults.badCrc = true;
    else if (name == QLatin1String("wrong-code"))
        faults.wrongCode = true;
    else
        reader.fail(QStringLiteral("unknown fault \"%1\"").arg(name));
}

QVector<MeterSimulator::RequestKind> readFaultyKinds(const QString &which, OptionReader &reader)
{
    if (which == QLatin1String("measurement"))
        return {MeterSimulator::MeasurementRequest};
    if (which == QLatin1String("calibration"))
        return {MeterSimulator::CalibrationRequest};
    if (which != QLatin1String("both"))
        reader.fail(QStringLiteral("--faults-on takes measurement, calibration or both, not \"%1\"")
                        .arg(which));
    return {MeterSimulator::MeasurementRequest, MeterSimulator::CalibrationRequest};
}

bool readOptions(const QCommandLineParser &parser, Options &options, QString &error)
{
    OptionReader reader(parser);
    options.profile = readProfile(parser, reader);
    options.calibrationValue = quint16(reader.wholeNumber("calibration", 1000, 0, 65535));
    for (const QString &fault : parser.values("fault"))
        readFault(fault, options.faults, reader);
    options.faults.replyDelayMs = reader.wholeNumber("delay", 0, 0, 60000);
    options.faults.answerLimit = reader.wholeNumber("answer-limit", -1, 0, 1000000000);
    options.faultyKinds = readFaultyKinds(parser.value("faults-on"), reader);
    error = reader.error();
    return !reader.failed();
}

void printSummary(const MeterSimulator &meter)
{
    std::fprintf(stderr, "meter-sim: %d measurement requests, %d calibration requests, %d other\n",
        meter.requestCount(MeterSimulator::MeasurementRequest),
        meter.requestCount(MeterSimulator::CalibrationRequest),
        meter.requestCount(MeterSimulator::OtherBytes));
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("meter-sim"));
    QCoreApplication::setApplicationVersion(QStringLiteral("1.0"));

    QCommandLineParser parser;
    addOptions(parser);
    parser.process(app);

    Options options;
    QString error;
    if (!readOptions(parser, options, error)) {
        std::fprintf(stderr, "meter-sim: %s\n", qPrintable(error));
        return 2;
    }

    // Blocked before the serving thread starts, so that only sigwait() below sees them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    MeterSimulator meter;
    meter.setProfile(options.profile);
    meter.setCalibrationValue(options.calibrationValue);
    for (const MeterSimulator::RequestKind kind : options.faultyKinds)
        meter.setFaults(kind, options.faults);
    if (!meter.startOnPty()) {
        std::fprintf(stderr, "meter-sim: %s\n", qPrintable(meter.errorString()));
        return 1;
    }
    std::printf("%s\n", qPrintable(meter.portName()));
    std::fflush(stdout);

    int signal = 0;
    sigwait(&stopSignals, &signal);
    meter.stop();
    printSummary(meter);
    return 0;
}
