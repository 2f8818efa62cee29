// SPDX-License-Identifier: GPL-3.0-or-later
// A lab's fleet on one machine: one Mosquitto broker, twenty ammeter-log
// recorders publishing to it, each with its own simulated meter at the meter's
// ten measurements a second, and beside them recorders that only write their
// file, as the baseline of the same run. Figures: the CPU a recorder takes with
// and without publishing, and the delay from the meter's reply (its frame's
// write returning) to a subscriber in this process receiving the measurement.

#include "mosquittobroker.h"
#include "processfigures.h"
#include "timedmeter.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QHash>
#include <QProcess>
#include <QTemporaryDir>

#include <mosquitto.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

using namespace ProcessFigures;

const int WarmUpMs = 15000;
const char Targets[] = "publishing adds at most half of a recorder's own CPU; "
                       "99th percentile delay under 20 ms";

struct Recorder
{
    std::unique_ptr<TimedMeter> meter;
    std::unique_ptr<QProcess> process;
    bool publishes = false;
    QVector<qint64> arrivedAtNs;
    double cpuAtStart = 0;
    double cpuSeconds = 0;
};

// The subscriber's clock is the meters' clock: both live in this process.
struct Subscriber
{
    QHash<QByteArray, Recorder *> byMeter; // filled before the first message
    mosquitto *client = nullptr;

    static void onMessage(mosquitto *, void *self, const mosquitto_message *message)
    {
        const qint64 now = TimedMeter::nowNs();
        const QByteArray topic(message->topic);
        Recorder *recorder
            = static_cast<Subscriber *>(self)->byMeter.value(topic.split('/').value(1));
        const QByteArray payload(static_cast<const char *>(message->payload), message->payloadlen);
        const int at = payload.indexOf("\"voltage_V\":");
        if (!recorder || at < 0)
            return;
        const int frame
            = TimedMeter::frameOf(payload.mid(at + 12, 12).split(',').value(0).toFloat());
        if (frame >= 0 && frame < recorder->arrivedAtNs.size() && !recorder->arrivedAtNs[frame])
            recorder->arrivedAtNs[frame] = now;
    }

    bool start(int port, const QByteArray &topic)
    {
        client = mosquitto_new("fleet-subscriber", true, this);
        mosquitto_message_callback_set(client, &Subscriber::onMessage);
        return client && mosquitto_connect(client, "127.0.0.1", port, 30) == MOSQ_ERR_SUCCESS
            && mosquitto_subscribe(client, nullptr, topic.constData(), 1) == MOSQ_ERR_SUCCESS
            && mosquitto_loop_start(client) == MOSQ_ERR_SUCCESS;
    }
    void stop()
    {
        mosquitto_disconnect(client);
        mosquitto_loop_stop(client, false);
        mosquitto_destroy(client);
    }
};

// Frames in the recording that never reached the subscriber: what publishing lost.
int lostOnTheWay(const QString &recording, const QVector<qint64> &arrivedAtNs, int first, int end)
{
    QFile file(recording);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    int lost = 0;
    for (const QByteArray &line : file.readAll().split('\n')) {
        const int frame = TimedMeter::frameOf(line.split(',').value(2).toFloat());
        lost += frame >= first && frame < end && !arrivedAtNs.value(frame);
    }
    return lost;
}

double percentile(std::vector<double> values, double share)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, size_t(share * values.size()))];
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addOption({"publishing", "Recorders that publish.", "n", "20"});
    parser.addOption({"baseline", "Recorders that only write their file.", "n", "4"});
    parser.addOption({"seconds", "How long to measure, after a 15 s warm-up.", "s", "60"});
    parser.process(app);
    const int publishing = qMax(1, parser.value("publishing").toInt());
    const int baseline = qMax(1, parser.value("baseline").toInt());
    const int measureMs = qMax(10, parser.value("seconds").toInt()) * 1000;
    const int frames = (WarmUpMs + measureMs) / 100 + 200;

    mosquitto_lib_init();
    MosquittoBroker broker;
    QTemporaryDir dir;
    Subscriber subscriber;
    if (!broker.start() || !dir.isValid()
        || !subscriber.start(QUrl(broker.url("fleet")).port(), "fleet/+/measurement")) {
        std::fprintf(
            stderr, "bench_fleet: no broker or subscriber:\n%s\n", qPrintable(broker.log()));
        return 1;
    }

    std::vector<Recorder> recorders(size_t(publishing + baseline));
    for (size_t i = 0; i < recorders.size(); ++i) {
        Recorder &recorder = recorders[i];
        recorder.publishes = int(i) < publishing;
        recorder.meter = std::make_unique<TimedMeter>();
        if (!recorder.meter->start()) {
            std::fprintf(stderr, "bench_fleet: no pseudo-terminal\n");
            return 1;
        }
        recorder.arrivedAtNs.resize(frames);
        subscriber.byMeter.insert(
            recorder.meter->portName().mid(5).replace('/', '_').toUtf8(), &recorder);
        QStringList arguments {"--port", recorder.meter->portName(), "-o",
            dir.filePath(QStringLiteral("%1.csv").arg(i))};
        if (recorder.publishes)
            arguments << "--mqtt" << broker.url("fleet");
        recorder.process = std::make_unique<QProcess>();
        recorder.process->setStandardErrorFile(dir.filePath(QStringLiteral("%1.log").arg(i)));
        recorder.process->start(QStringLiteral(AMMETER_LOG), arguments);
    }
    std::printf(
        "bench_fleet: %d publishing and %d baseline recorders, %d s warm-up, %d s measured\n",
        publishing, baseline, WarmUpMs / 1000, measureMs / 1000);
    std::fflush(stdout);

    runFor(WarmUpMs);
    const int firstFrame = recorders.front().meter->framesWritten();
    for (Recorder &recorder : recorders)
        recorder.cpuAtStart = cpuSeconds(recorder.process->processId());
    runFor(measureMs);
    for (Recorder &recorder : recorders)
        recorder.cpuSeconds = cpuSeconds(recorder.process->processId()) - recorder.cpuAtStart;
    const int endFrame = recorders.front().meter->framesWritten() - 10;
    for (Recorder &recorder : recorders)
        recorder.process->terminate();
    for (Recorder &recorder : recorders)
        recorder.process->waitForFinished(10000);
    subscriber.stop();

    double cpu[2] = {0, 0};
    std::vector<double> medians, p99s;
    int timed = 0;
    int lost = 0;
    for (size_t i = 0; i < recorders.size(); ++i) {
        Recorder &recorder = recorders[i];
        recorder.meter->stop();
        cpu[recorder.publishes] += recorder.cpuSeconds;
        if (!recorder.publishes)
            continue;
        const TimedMeter::Latencies l
            = recorder.meter->latencies(recorder.arrivedAtNs, firstFrame, endFrame);
        medians.push_back(l.medianUs / 1000);
        p99s.push_back(l.p99Us / 1000);
        timed += l.frames;
        lost += lostOnTheWay(dir.filePath(QStringLiteral("%1.csv").arg(i)), recorder.arrivedAtNs,
            firstFrame, endFrame);
    }
    const double seconds = measureMs / 1000.0;
    const double withPercent = 100 * cpu[1] / publishing / seconds;
    const double withoutPercent = 100 * cpu[0] / baseline / seconds;
    std::printf("CPU of one recorder: %.2f %% publishing, %.2f %% not publishing (+%.0f %%)\n",
        withPercent, withoutPercent, 100 * (withPercent / withoutPercent - 1));
    std::printf(
        "delay meter reply -> subscriber: median %.2f ms (middle recorder), 99th percentile "
        "%.2f ms (middle recorder), %.2f ms (worst recorder); %d measurements timed, %d "
        "recorded but never received (targets: %s)\n",
        percentile(medians, 0.5), percentile(p99s, 0.5), percentile(p99s, 1), timed, lost, Targets);
    std::printf("RESULT\tfleet.cpu.publishing\t%.3f\t%%\n", withPercent);
    std::printf("RESULT\tfleet.cpu.baseline\t%.3f\t%%\n", withoutPercent);
    std::printf("RESULT\tfleet.delay.median\t%.3f\tms\n", percentile(medians, 0.5));
    std::printf("RESULT\tfleet.delay.p99\t%.3f\tms\n", percentile(p99s, 0.5));
    std::printf("RESULT\tfleet.delay.p99.worst\t%.3f\tms\n", percentile(p99s, 1));
    std::printf("RESULT\tfleet.lost\t%d\tmeasurements\n", lost);
    return 0;
}
