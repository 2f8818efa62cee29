// SPDX-License-Identifier: GPL-3.0-or-later
// How long a user waits for the first reading after plugging the meter in: from
// the udev "add" of an emulated meter to the first non-zero triple that the
// device hands to the GUI thread. Runs under umockdev-wrapper; the port monitor,
// the device and its worker are the real ones, the meter is the simulator.
//
// The figure is set beside the least that the protocol's own waits allow, since
// nearly all of the time is spent in deliberate pauses. The debounce and the
// poll are coarse timers, which Qt may fire up to 5 % early, so a plug can come
// in a few milliseconds under that least.

#include "commoncurrentusbdevice.h"
#include "metersimulator.h"
#include "timedmeter.h"
#include "usbtestbed.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <cstdio>

namespace {

// The waits between an "add" and the first reading, in milliseconds.
const int Debounce = 100;
const int HandshakeSettle = 100;
const int HandshakeExtraRounds = 2; // settle / 50, each a 50 ms wait for more data and a 50 ms nap
const int CalibrationSettle = 50;
const int CalibrationExtraRounds = 1;
const int ExtraRound = 100;
const int PollStartDelay = 50;
const int FirstPoll = 100;

int protocolMinimumMs()
{
    return Debounce + HandshakeSettle + HandshakeExtraRounds * ExtraRound + CalibrationSettle
        + CalibrationExtraRounds * ExtraRound + PollStartDelay + FirstPoll;
}

// Runs the event loop until `done` turns true or the time is up.
bool waitFor(const bool &done, int timeoutMs)
{
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done)
            loop.quit();
    });
    poll.start(1);
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    loop.exec();
    return done;
}

} // namespace

int main(int argc, char *argv[])
{
    // The emulated /sys and /dev must exist before anything looks for ports.
    UsbTestbed testbed;
    if (!UsbTestbed::inMockEnvironment()) {
        std::fprintf(stderr, "bench_plug: run me under umockdev-wrapper\n");
        return 1;
    }
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addOption({"plugs", "How often to plug the meter in.", "n", "20"});
    parser.process(app);
    const int plugs = qMax(1, parser.value("plugs").toInt());

    CommonCurrentUSBDevice device(nullptr);
    bool gotValue = false;
    bool offline = false;
    qint64 firstValueNs = 0;
    QObject receiver;
    QObject::connect(&device, &CommonCurrentUSBDevice::parameterChanged, &receiver,
        [&](float voltage, float current, float power) {
            if (!gotValue && (voltage != 0 || current != 0 || power != 0)) {
                firstValueNs = TimedMeter::nowNs();
                gotValue = true;
            }
        });
    QObject::connect(
        &device, &CommonCurrentUSBDevice::deviceOffline, &receiver, [&] { offline = true; });
    device.startMonitor();

    std::vector<double> ms;
    for (int plug = 0; plug < plugs; ++plug) {
        const UsbTestbed::SerialDevice meterPort = testbed.addUsbSerial(0x303a, 0x1001,
            QStringLiteral("BENCH%1").arg(plug), QStringLiteral("ttyACM%1").arg(plug));
        MeterSimulator meter;
        if (!meterPort.isValid() || !meter.start(meterPort.hostFd)) {
            std::fprintf(stderr, "bench_plug: cannot emulate meter %d\n", plug);
            return 1;
        }
        gotValue = false;
        // Adding the device announced it already; this last "add" restarts the
        // debounce, so the clock starts here.
        const qint64 pluggedNs = TimedMeter::nowNs();
        testbed.add(meterPort);
        if (!waitFor(gotValue, 10000)) {
            std::fprintf(stderr, "bench_plug: no reading within 10 s of plug %d\n", plug);
            return 1;
        }
        ms.push_back((firstValueNs - pluggedNs) / 1e6);
        std::printf("plug %2d: first value after %.1f ms\n", plug + 1, ms.back());
        std::fflush(stdout);

        offline = false;
        testbed.unplug(meterPort);
        if (!waitFor(offline, 5000)) {
            std::fprintf(stderr, "bench_plug: the device did not go offline after plug %d\n", plug);
            return 1;
        }
    }

    std::vector<double> sorted = ms;
    std::sort(sorted.begin(), sorted.end());
    const double median = sorted.at(sorted.size() / 2);
    const int minimum = protocolMinimumMs();
    std::printf("plug to first value over %d plugs: median %.1f ms, fastest %.1f ms, "
                "slowest %.1f ms\n",
        plugs, median, sorted.front(), sorted.back());
    std::printf(
        "protocol minimum %d ms (debounce %d, handshake %d, calibration %d, "
        "poll start %d, first poll %d); median is %.1f %% above it (target: within 10 %%)\n",
        minimum, Debounce, HandshakeSettle + HandshakeExtraRounds * ExtraRound,
        CalibrationSettle + CalibrationExtraRounds * ExtraRound, PollStartDelay, FirstPoll,
        (median / minimum - 1) * 100);
    std::printf("RESULT\tplug.median\t%.1f\tms\n", median);
    std::printf("RESULT\tplug.fastest\t%.1f\tms\n", sorted.front());
    std::printf("RESULT\tplug.slowest\t%.1f\tms\n", sorted.back());
    std::printf("RESULT\tplug.minimum\t%d\tms\n", minimum);
    return 0;
}
