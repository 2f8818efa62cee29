// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef METERRECORDER_H
#define METERRECORDER_H

#include "loggeroptions.h"
#include "runtotals.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

class CommonCurrentUSBDevice;
class MeterPublisher;
class RecordWriter;
class RunPlot;

// One recording run: the meter found (or the port given) and opened through
// the same device layer as the window, every measurement written with the
// running totals, and the run ended by a count, a duration, a limit, an
// unplugged meter or a request from outside.
class MeterRecorder : public QObject
{
    Q_OBJECT
public:
    // plot may be null: then nothing is kept for a picture.
    MeterRecorder(const LoggerOptions &options, RecordWriter &writer, RunPlot *plot,
        QObject *parent = nullptr);
    ~MeterRecorder() override;

    // The first meter found, the --port given, or the --serial asked for.
    void start();
    // The meter of a device someone else found and owns, named in every message, on a clock
    // shared with the recorders of other meters so that their rows line up. --wait is theirs.
    void follow(CommonCurrentUSBDevice *device, const QString &meter, QElapsedTimer *clock);
    // Every measurement recorded also goes to the broker, under this recorder's meter.
    void publishTo(MeterPublisher &publisher);
    // Ends the run; finished() follows with the status, once.
    void finish(int exitStatus);

    const RunTotals &totals() const { return m_totals; }
    // Replies thrown away because their CRC did not match.
    int droppedFrames() const;

signals:
    void finished(int exitStatus);
    // For a publisher: the meter answering on a port, going away, and each
    // measurement with the totals it was recorded with.
    void meterOnline(const QString &portName);
    void meterOffline();
    void recorded(const Measurement &measurement, double chargeMah, double energyMwh);

private:
    void adopt(CommonCurrentUSBDevice *device);
    void followPort();
    void followSerial();
    QString meterWords() const;
    void onDeviceOnline();
    void onDeviceOffline();
    void onDeviceNotResponding();
    void onDeviceResponding();
    void onOpenFailed(const QString &systemLocation, int error);
    void onParameterChanged(float voltage, float current, float power);
    void onDurationTimeout();
    void onWaitOver();
    bool exceedsLimit(const Measurement &measurement);

    const LoggerOptions m_options;
    RecordWriter &m_writer;
    RunPlot *m_plot;
    CommonCurrentUSBDevice *m_device = nullptr;
    QString m_meter;
    RunTotals m_totals;
    QElapsedTimer m_ownClock;
    QElapsedTimer *m_clock = &m_ownClock;
    bool m_recording = false;
    QTimer m_waitTimer;
    QTimer m_durationTimer;
    bool m_online = false;
    bool m_everOnline = false;
    bool m_finished = false;
};

#endif // METERRECORDER_H
