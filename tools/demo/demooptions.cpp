// SPDX-License-Identifier: GPL-3.0-or-later
#include "demooptions.h"

#include <QCommandLineParser>

namespace {

// The largest reading the meter can put on the line: 0xFFFFFFFF micro-units.
const double MaxUnits = 4294.967295;
// A day: anything longer is a typing slip, not a demo.
const double MaxSeconds = 86400;

void addOptions(QCommandLineParser &parser)
{
    parser.setApplicationDescription(QStringLiteral(
        "Runs the ammeter program with a simulated USB current meter: on an emulated\n"
        "USB bus (umockdev; the launcher restarts itself under umockdev-wrapper when\n"
        "needed) it starts the program, and one second later plugs in a meter\n"
        "(303a:1001) whose ttyACM port it serves with the meter simulator."));
    parser.addHelpOption();
    parser.addOptions({
        {"program", "The program to run (default: the ammeter of this build tree).", "path",
            QStringLiteral(AMMETER_PROGRAM)},
        {"profile",
            "What the meter measures: \"bench\" (a device under test idling near 45 mA with "
            "bursts to 350 mA, then 1.2 A, then 3.5 A, at about 5 V) or \"constant:V,A\" "
            "(e.g. constant:5.1,0.25).",
            "name", "bench"},
        {"seed", "Seed of the bench profile; the same seed gives the same readings.", "n", "1"},
        {"replug",
            "Unplug the meter after it has been plugged in this long, plug it in again as "
            "long after that on a fresh ttyACM port, and so on.",
            "seconds"},
        {"seconds", "Quit after this long, ending the program.", "seconds"},
        {"screenshot",
            "Save a screenshot of the screen to this PNG file just before quitting "
            "(needs --seconds).",
            "file"},
    });
}

class Reader
{
public:
    explicit Reader(const QCommandLineParser &parser)
        : m_parser(parser)
    { }

    bool failed() const { return !m_error.isEmpty(); }
    QString error() const { return m_error; }

    void fail(const QString &error)
    {
        if (!failed())
            m_error = error;
    }

    double seconds(const QString &name)
    {
        if (!m_parser.isSet(name))
            return 0;
        bool ok = false;
        const double value = m_parser.value(name).toDouble(&ok);
        if (!ok || !(value > 0 && value <= MaxSeconds))
            fail(QStringLiteral("--%1 takes a number of seconds above 0 and up to %2, not \"%3\"")
                     .arg(name)
                     .arg(MaxSeconds)
                     .arg(m_parser.value(name)));
        return value;
    }

    LoadProfile profile()
    {
        const QString name = m_parser.value("profile");
        if (name == QLatin1String("bench"))
            return benchProfile();
        if (name.startsWith(QLatin1String("constant:")))
            return constantProfile(name.mid(int(qstrlen("constant:"))));
        fail(QStringLiteral("unknown profile \"%1\" (bench or constant:V,A)").arg(name));
        return LoadProfile::bench();
    }

private:
    LoadProfile benchProfile()
    {
        bool ok = false;
        const quint64 seed = m_parser.value("seed").toULongLong(&ok);
        if (!ok)
            fail(QStringLiteral("--seed takes a whole number from 0 up, not \"%1\"")
                     .arg(m_parser.value("seed")));
        return LoadProfile::bench(seed);
    }

    LoadProfile constantProfile(const QString &values)
    {
        const QStringList parts = values.split(QLatin1Char(','));
        bool voltsOk = false;
        bool amperesOk = false;
        const double volts = parts.value(0).toDouble(&voltsOk);
        const double amperes = parts.value(1).toDouble(&amperesOk);
        if (parts.size() != 2 || !voltsOk || !amperesOk || !inRange(volts) || !inRange(amperes)
            || !inRange(volts * amperes)) {
            fail(QStringLiteral("--profile constant:V,A takes volts and amperes from 0 up, "
                                "power up to %1 W, not \"%2\"")
                     .arg(MaxUnits, 0, 'f', 6)
                     .arg(values));
            return LoadProfile::bench();
        }
        return LoadProfile::constant(volts, amperes, volts * amperes);
    }

    static bool inRange(double value) { return value >= 0 && value <= MaxUnits; }

    const QCommandLineParser &m_parser;
    QString m_error;
};

} // namespace

DemoOptions::Outcome DemoOptions::parse(const QStringList &arguments, QString *error)
{
    QCommandLineParser parser;
    addOptions(parser);
    if (!parser.parse(arguments)) {
        *error = parser.errorText();
        return Invalid;
    }
    if (parser.isSet("help") || parser.isSet("help-all"))
        return ShowHelp;
    if (!parser.positionalArguments().isEmpty()) {
        *error = QStringLiteral("unexpected argument \"%1\"")
                     .arg(parser.positionalArguments().constFirst());
        return Invalid;
    }

    Reader reader(parser);
    program = parser.value("program");
    profile = reader.profile();
    replugSeconds = reader.seconds("replug");
    seconds = reader.seconds("seconds");
    screenshot = parser.value("screenshot");
    if (!screenshot.isEmpty() && seconds == 0)
        reader.fail(QStringLiteral("--screenshot needs --seconds: it is taken just before "
                                   "quitting"));
    *error = reader.error();
    return reader.failed() ? Invalid : Run;
}

QString DemoOptions::helpText()
{
    QCommandLineParser parser;
    addOptions(parser);
    return parser.helpText();
}
