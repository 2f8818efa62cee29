// SPDX-License-Identifier: GPL-3.0-or-later
// How long the user looks at nothing: from the moment the process is started to
// the main window's first paint, over several starts of the program's own entry
// point from a throw-away application directory. The resident size once the
// window is up is read on the way.

#include "mainwindow.h"
#include "processfigures.h"
#include "temporaryappdir.h"
#include "timedmeter.h"

#include <QCommandLineParser>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QTimer>

#include <algorithm>
#include <cstdio>

// The program's own entry point, renamed, so that a child can start up exactly
// as the program does while a probe watches from inside.
#define main ammeterMain
#include "main.cpp"
#undef main

namespace {

const char ChildArgument[] = "--startup-child";
const char Target[] = "first paint under 400 ms";
using ProcessFigures::MB;

using ProcessFigures::residentBytes;

// Lives in the child: notes the main window's first paint, and once that pass
// is over and things have settled, writes the report and closes the window.
class PaintProbe : public QObject
{
public:
    QString reportFile;

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !m_report.contains("firstPaintNs")
            && qobject_cast<MainWindow *>(watched)) {
            m_report["firstPaintNs"] = double(TimedMeter::nowNs());
            m_window = static_cast<QWidget *>(watched);
            QTimer::singleShot(0, this, [this] { notePainted(); });
        }
        return false;
    }

private:
    void notePainted()
    {
        m_report["paintedNs"] = double(TimedMeter::nowNs());
        m_report["residentAtPaint"] = residentBytes();
        QTimer::singleShot(2000, this, [this] { finish(); });
    }

    void finish()
    {
        m_report["residentSettled"] = residentBytes();
        QSaveFile file(reportFile);
        file.open(QIODevice::WriteOnly);
        file.write(QJsonDocument(m_report).toJson());
        file.commit();
        m_window->close();
    }

    QJsonObject m_report;
    QWidget *m_window = nullptr;
};

PaintProbe *probe = nullptr;

void installProbe()
{
    QCoreApplication::instance()->installEventFilter(probe);
}

int runChild(char *argv[])
{
    probe = new PaintProbe;
    probe->reportFile = QString::fromLocal8Bit(argv[2]);
    qAddPreRoutine(installProbe);
    int programArgc = 1;
    return ammeterMain(programArgc, argv);
}

struct Start
{
    double firstPaintMs = 0;
    double paintedMs = 0;
    double residentAtPaint = 0;
    double residentSettled = 0;
};

bool startOnce(const TemporaryAppDir &dir, Start &start)
{
    const QString reportFile = dir.path() + QStringLiteral("/startup-report.json");
    QFile::remove(reportFile);
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    const qint64 startedNs = TimedMeter::nowNs();
    process.start(dir.executable(), {QString::fromLatin1(ChildArgument), reportFile});
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return false;
    QFile file(reportFile);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QJsonObject report = QJsonDocument::fromJson(file.readAll()).object();
    start.firstPaintMs = (report["firstPaintNs"].toDouble() - startedNs) / 1e6;
    start.paintedMs = (report["paintedNs"].toDouble() - startedNs) / 1e6;
    start.residentAtPaint = report["residentAtPaint"].toDouble();
    start.residentSettled = report["residentSettled"].toDouble();
    return true;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc == 3 && qstrcmp(argv[1], ChildArgument) == 0)
        return runChild(argv);

    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addOption({"starts", "How often to start the program.", "n", "11"});
    parser.process(app);
    const int starts = qMax(2, parser.value("starts").toInt());

    TemporaryAppDir dir;
    if (!dir.isValid()) {
        std::fprintf(stderr, "bench_startup: cannot copy myself into a temporary directory\n");
        return 1;
    }
    std::vector<double> firstPaint, painted, resident;
    for (int i = 0; i < starts; ++i) {
        Start start;
        if (!startOnce(dir, start)) {
            std::fprintf(stderr, "bench_startup: start %d failed\n", i + 1);
            return 1;
        }
        std::printf("start %2d: first paint after %.1f ms, painted after %.1f ms, "
                    "resident %.1f MB, %.1f MB two seconds later\n",
            i + 1, start.firstPaintMs, start.paintedMs, start.residentAtPaint / MB,
            start.residentSettled / MB);
        std::fflush(stdout);
        // The first start also pays for cold caches and creates Settings.ini.
        if (i == 0)
            continue;
        firstPaint.push_back(start.firstPaintMs);
        painted.push_back(start.paintedMs);
        resident.push_back(start.residentSettled);
    }
    std::printf("first paint after %.1f ms (median of %d starts after the first; "
                "the paint pass ends at %.1f ms) (target: %s)\n",
        median(firstPaint), int(firstPaint.size()), median(painted), Target);
    std::printf("resident after start %.1f MB\n", median(resident) / MB);
    std::printf("RESULT\tstartup.firstpaint\t%.1f\tms\n", median(firstPaint));
    std::printf("RESULT\tstartup.painted\t%.1f\tms\n", median(painted));
    std::printf("RESULT\tstartup.resident\t%.1f\tMB\n", median(resident) / MB);
    return 0;
}
