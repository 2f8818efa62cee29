// SPDX-License-Identifier: GPL-3.0-or-later
#include "loggeroptions.h"

#include <QCommandLineParser>
#include <QFile>
#include <QRegularExpression>

#include <cmath>

namespace {

// The largest reading the meter can send: 0xFFFFFFFF micro-units.
const double MaxUnits = 4294.967295;
// Far more than any battery holds; a larger amount is a typing slip.
const double MaxAmount = 1e9;
// A year of recording; a longer duration is a typing slip.
const double MaxDurationMs = 366.0 * 24 * 3600 * 1000;
// What one timer can count: waiting longer than that for a meter is waiting for ever.
const double MaxWaitMs = 24.0 * 24 * 3600 * 1000;

void addOptions(QCommandLineParser &parser)
{
    parser.setApplicationDescription(QStringLiteral(
        "Records the measurements of a USB current meter, one line each, as CSV or JSON lines,\n"
        "with the running charge and energy totals, and a summary on standard error at the end."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOptions({
        {{"o", "output"}, "Write to this file instead of standard output.", "file"},
        {{"f", "format"}, "csv (default, with a header line) or jsonl.", "format", "csv"},
        {{"a", "append"}, "Add to an existing file, without a second header."},
        {"force", "Overwrite an existing output file."},
        {{"p", "port"},
            "Use this serial port (e.g. /dev/ttyACM0) instead of the first meter found.", "port"},
        {"serial", "Use the meter with this USB serial number instead of the first one found.",
            "serial"},
        {"all",
            "Record every meter present and every one that comes, each into a file of its own "
            "(--output run.csv writes run-<serial>.csv), or as JSON lines naming their meter."},
        {{"w", "wait"},
            "Give up with status 2 when no meter answers within this long (default 30s; 0: "
            "wait for ever).",
            "duration", "30s"},
        {{"d", "duration"}, "Stop after recording this long (e.g. 90s, 10m, 8h).", "duration"},
        {{"n", "count"}, "Stop after this many measurements.", "n"},
        {"max-current", "End with status 3 as soon as the current exceeds this many amperes.", "A"},
        {"max-power", "End with status 3 as soon as the power exceeds this many watts.", "W"},
        {"stop-below-voltage", "End with status 0 once the voltage stays below this many volts.",
            "V"},
        {"stop-below-current", "End with status 0 once the current stays below this many amperes.",
            "A"},
        {"stop-at-charge", "End with status 0 once this many mAh have been drawn.", "mAh"},
        {"stop-at-energy", "End with status 0 once this many mWh have been drawn.", "mWh"},
        {"hold",
            "How long a --stop-... condition must hold before it ends the run (default 1s), so "
            "that one noisy sample does not.",
            "duration", "1s"},
        {"exit-on-unplug", "End with status 4 when the meter is unplugged, instead of waiting."},
        {"plot", "At the end, draw current and power against time into this PNG file.", "file"},
        {"from", "Draw the --plot picture of this earlier CSV recording; no meter is used.",
            "file"},
        {"mqtt",
            "Also publish every measurement to this MQTT broker, mqtt://host[:port]/prefix or "
            "mqtts://host[:port]/prefix (TLS); without --output, only publish.",
            "url"},
        {"mqtt-ca", "Trust this CA certificate for mqtts:// instead of the system's.", "file"},
        {"mqtt-qos", "0 or 1 (default): at most or at least once.", "qos", "1"},
        {"mqtt-buffer",
            "Hold back at most this many measurements while the broker is away (default 36000).",
            "n", QString::number(BrokerSettings::DefaultBufferLimit)},
        {"mqtt-password-file",
            "Read the broker's user name (first line) and password (second line) from this file "
            "instead of AMMETER_MQTT_USER and AMMETER_MQTT_PASSWORD.",
            "file"},
    });
}

class Reader
{
public:
    explicit Reader(const QCommandLineParser &parser)
        : m_parser(parser)
    { }

    QString error() const { return m_error; }
    bool failed() const { return !m_error.isEmpty(); }

    void fail(const QString &error)
    {
        if (m_error.isEmpty())
            m_error = error;
    }

    // A number with an optional unit, ms, s (the default), m, h or d.
    qint64 duration(const QString &name, qint64 fallback, bool zeroAllowed, double maxMs)
    {
        if (!m_parser.isSet(name))
            return fallback;
        static const QRegularExpression pattern(
            QStringLiteral("^(\\d+(?:\\.\\d+)?)(ms|s|m|h|d)?$"));
        const QRegularExpressionMatch match = pattern.match(m_parser.value(name));
        static const QHash<QString, double> unitMs {
            {"ms", 1}, {"", 1000}, {"s", 1000}, {"m", 60000}, {"h", 3600000}, {"d", 86400000}};
        const double ms = match.hasMatch()
            ? match.captured(1).toDouble() * unitMs.value(match.captured(2))
            : -1;
        if (ms < 0 || ms > maxMs || (ms < 1 && !zeroAllowed)) {
            fail(QStringLiteral("--%1 takes a duration%2 up to %3 d, such as 500ms, 30s, 10m, 8h "
                                "or 2d, not \"%4\"")
                     .arg(name, zeroAllowed ? QString() : QStringLiteral(" above 0"))
                     .arg(maxMs / 86400000)
                     .arg(m_parser.value(name)));
            return fallback;
        }
        return qint64(std::ceil(ms));
    }

    qint64 count(const QString &name)
    {
        if (!m_parser.isSet(name))
            return 0;
        bool ok = false;
        const qint64 value = m_parser.value(name).toLongLong(&ok);
        if (!ok || value < 1)
            fail(QStringLiteral("--%1 takes a whole number from 1 up, not \"%2\"")
                     .arg(name, m_parser.value(name)));
        return ok ? value : 0;
    }

    // A reading's limit, from 0 to what the meter can send.
    double limit(const QString &name) { return number(name, 0, MaxUnits, true); }
    // A charge or an energy above 0.
    double amount(const QString &name) { return number(name, 0, MaxAmount, false); }

private:
    // -1 when not given.
    double number(const QString &name, double least, double most, bool leastAllowed)
    {
        if (!m_parser.isSet(name))
            return -1;
        bool ok = false;
        const double value = m_parser.value(name).toDouble(&ok);
        if (!ok || !((value > least || (leastAllowed && value == least)) && value <= most)) {
            fail(QStringLiteral("--%1 takes a number %2 %3 %4 %5, not \"%6\"")
                     .arg(name, leastAllowed ? QStringLiteral("from") : QStringLiteral("above"))
                     .arg(least)
                     .arg(leastAllowed ? QStringLiteral("to") : QStringLiteral("up to"))
                     .arg(most, 0, 'f', most < 1e6 ? 6 : 0)
                     .arg(m_parser.value(name)));
            return -1;
        }
        return value;
    }

    const QCommandLineParser &m_parser;
    QString m_error;
};

// Checked, files read included, before a port or a file is opened.
void readBroker(const QCommandLineParser &parser, Reader &reader, BrokerSettings &mqtt)
{
    if (!parser.isSet("mqtt")) {
        for (const char *name : {"mqtt-ca", "mqtt-qos", "mqtt-buffer", "mqtt-password-file"}) {
            if (parser.isSet(name))
                reader.fail(QStringLiteral("--%1 needs --mqtt").arg(QLatin1String(name)));
        }
        return;
    }
    const auto check = [&reader](const char *option, const QString &problem) {
        if (!problem.isEmpty())
            reader.fail(QStringLiteral("--%1: %2").arg(QLatin1String(option), problem));
    };
    check("mqtt", mqtt.parseUrl(parser.value("mqtt")));
    check("mqtt-qos", mqtt.parseQos(parser.value("mqtt-qos")));
    check("mqtt-buffer", mqtt.parseBufferLimit(parser.value("mqtt-buffer")));
    mqtt.caFile = parser.value("mqtt-ca");
    if (!mqtt.caFile.isEmpty() && !mqtt.tls)
        check("mqtt-ca", QStringLiteral("only an mqtts:// broker takes a CA certificate"));
    else if (!mqtt.caFile.isEmpty() && !QFile(mqtt.caFile).open(QIODevice::ReadOnly))
        check("mqtt-ca", QStringLiteral("cannot read %1").arg(mqtt.caFile));
    mqtt.readEnvironment();
    if (parser.isSet("mqtt-password-file"))
        check("mqtt-password-file", mqtt.readPasswordFile(parser.value("mqtt-password-file")));
    if (reader.failed())
        mqtt = BrokerSettings();
}

QVector<StopCondition> readStopConditions(const QCommandLineParser &parser, Reader &reader)
{
    const double holdSeconds = reader.duration("hold", 1000, true, MaxDurationMs) / 1000.0;
    const struct
    {
        const char *option;
        StopCondition::Kind kind;
        double threshold;
    } given[] = {
        {"stop-below-voltage", StopCondition::VoltageBelow, reader.limit("stop-below-voltage")},
        {"stop-below-current", StopCondition::CurrentBelow, reader.limit("stop-below-current")},
        {"stop-at-charge", StopCondition::ChargeAt, reader.amount("stop-at-charge")},
        {"stop-at-energy", StopCondition::EnergyAt, reader.amount("stop-at-energy")},
    };
    QVector<StopCondition> conditions;
    for (const auto &condition : given) {
        if (condition.threshold >= 0)
            conditions.append(StopCondition(condition.kind, condition.threshold, holdSeconds));
    }
    if (conditions.isEmpty() && parser.isSet("hold"))
        reader.fail(QStringLiteral("--hold needs a --stop-below-... or --stop-at-... condition"));
    return conditions;
}

} // namespace

LoggerOptions::Outcome LoggerOptions::parse(const QStringList &arguments, QString *error)
{
    QCommandLineParser parser;
    addOptions(parser);
    if (!parser.parse(arguments)) {
        *error = parser.errorText();
        return Invalid;
    }
    if (parser.isSet("help"))
        return ShowHelp;
    if (parser.isSet("version"))
        return ShowVersion;

    Reader reader(parser);
    if (!parser.positionalArguments().isEmpty())
        reader.fail(QStringLiteral("unexpected argument \"%1\"")
                        .arg(parser.positionalArguments().constFirst()));
    output = parser.value("output");
    const QString formatName = parser.value("format");
    if (formatName == QLatin1String("jsonl"))
        format = RecordWriter::Jsonl;
    else if (formatName != QLatin1String("csv"))
        reader.fail(QStringLiteral("--format takes csv or jsonl, not \"%1\"").arg(formatName));
    append = parser.isSet("append");
    force = parser.isSet("force");
    if (append && force)
        reader.fail(QStringLiteral("--append and --force exclude each other"));
    if ((append || force) && output.isEmpty())
        reader.fail(QStringLiteral("--append and --force need --output"));
    port = parser.value("port");
    serial = parser.value("serial");
    all = parser.isSet("all");
    if (int(!port.isEmpty()) + int(!serial.isEmpty()) + int(all) > 1)
        reader.fail(QStringLiteral("--port, --serial and --all exclude each other"));
    waitMs = reader.duration("wait", waitMs, true, MaxWaitMs);
    durationMs = reader.duration("duration", 0, false, MaxDurationMs);
    count = reader.count("count");
    maxCurrent = reader.limit("max-current");
    maxPower = reader.limit("max-power");
    exitOnUnplug = parser.isSet("exit-on-unplug");
    stopConditions = readStopConditions(parser, reader);
    plot = parser.value("plot");
    from = parser.value("from");
    if (!from.isEmpty() && plot.isEmpty())
        reader.fail(QStringLiteral("--from needs --plot: it only draws a recording"));
    readBroker(parser, reader, mqtt);
    if (all && output.isEmpty() && format == RecordWriter::Csv && !publishes())
        reader.fail(QStringLiteral("--all writes a CSV file per meter: give --output, or "
                                   "--format jsonl for standard output"));
    *error = reader.error();
    return error->isEmpty() ? Run : Invalid;
}

QString LoggerOptions::helpText()
{
    QCommandLineParser parser;
    addOptions(parser);
    return parser.helpText();
}
