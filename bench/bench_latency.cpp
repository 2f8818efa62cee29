// SPDX-License-Identifier: GPL-3.0-or-later
// How long a measurement takes from the meter's line to the GUI thread: from the
// moment the meter's write of an 18-byte frame returns to the moment a slot
// connected to parameterChanged runs on the GUI thread. The device is the real
// one, on its own worker thread, polled at its own 100 ms; the GUI thread has
// nothing else to do, so this is the pipeline's own latency (bench_display
// measures it again with the pages drawing).

#include "commoncurrentusbdevice.h"
#include "timedmeter.h"
#include "usbserialportmonitor.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>

#include <cstdio>

namespace {

const int WarmUpFrames = 5;
const char Target[] = "99th percentile under 2 ms";

} // namespace

int main(int argc, char *argv[])
{
    // The port monitor's hidden notification widget needs a widget application.
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addOption(
        {"frames", "Measurement frames to time (after a short warm-up).", "n", "2000"});
    parser.process(app);
    const int frames = qMax(1, parser.value("frames").toInt());

    TimedMeter meter;
    if (!meter.start()) {
        std::fprintf(stderr, "bench_latency: cannot create a pseudo-terminal\n");
        return 1;
    }

    CommonCurrentUSBDevice device(nullptr);
    QVector<qint64> arrivedAtNs(WarmUpFrames + frames + 100, 0);
    int arrived = 0;
    QObject receiver;
    QObject::connect(&device, &CommonCurrentUSBDevice::parameterChanged, &receiver,
        [&](float voltage, float, float) {
            const qint64 now = TimedMeter::nowNs();
            const int frame = TimedMeter::frameOf(voltage);
            if (frame < 0 || frame >= arrivedAtNs.size())
                return;
            arrivedAtNs[frame] = now;
            if (frame >= WarmUpFrames && ++arrived == frames)
                app.quit();
        });

    // The pty is no USB device, so it is announced the way the monitor would
    // announce the meter's port.
    device.startMonitor();
    emit UsbSerialPortMonitor::instance()->serialFounded(
        meter.portName(), QStringList {device.productName()});

    std::printf("bench_latency: %d frames at the meter's 100 ms poll, about %d s\n", frames,
        (frames + WarmUpFrames) / 10 + 1);
    std::fflush(stdout);
    QTimer::singleShot((frames + WarmUpFrames) * 150 + 10000, &app, [&] { app.exit(2); });
    const int status = app.exec();
    meter.stop();

    const TimedMeter::Latencies l = meter.latencies(arrivedAtNs, WarmUpFrames);
    std::printf("frames timed %d, lost %d\n", l.frames, l.lost);
    std::printf("latency median %.1f us, 99th percentile %.1f us, maximum %.1f us (target: %s)\n",
        l.medianUs, l.p99Us, l.maxUs, Target);
    std::printf("RESULT\tlatency.frames\t%d\tframes\n", l.frames);
    std::printf("RESULT\tlatency.lost\t%d\tframes\n", l.lost);
    std::printf("RESULT\tlatency.median\t%.3f\tms\n", l.medianUs / 1000);
    std::printf("RESULT\tlatency.p99\t%.3f\tms\n", l.p99Us / 1000);
    std::printf("RESULT\tlatency.max\t%.3f\tms\n", l.maxUs / 1000);
    if (status != 0)
        std::fprintf(stderr, "bench_latency: timed out after %d of %d frames\n", arrived, frames);
    return status;
}
