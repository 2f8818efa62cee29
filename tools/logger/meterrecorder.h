// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef METERRECORDER_H
#define METERRECORDER_H

#include "loggeroptions.h"
#include "runevent.h"
#include "runtotals.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

class CommonCurrentUSBDevice;
class EventLog;
class MeterPublisher;
class RecordWriter;
class RunPlot;

// One run's clock, shared by the recorders of its meters: the elapsed column's 0 on the
// measurements' monotonic clock, and the timer --duration counts on.
struct RunClock
{
    QElapsedTimer timer;
    qint64 originNs = 0;
};

// One recording run: the meter found (or the port given) and opened through
// the same device layer as the window, every measurement written with the
// running totals, what happened meanwhile into the events file, and the run ended
// by a count, a duration, a stop condition, a limit, an unplugged meter or a
// request from outside.
class MeterRecorder : public QObject
{
    Q_OBJECT
public:
    // plot may be null: then nothing is kept for a picture; events too: then no events are kept.
    MeterRecorder(const LoggerOptions &options, RecordWriter &writer, RunPlot *plot,
        EventLog *events, QObject *parent = nullptr);
    ~MeterRecorder() override;

    // The first meter found, the --port given, or the --serial asked for.
    void start();
    // The meter of a device someone else found and owns, named in every message, on a clock
    // shared with the recorders of other meters so that their rows line up. --wait is theirs.
    void follow(CommonCurrentUSBDevice *device, const QString &meter, RunClock *clock);
    // Every measurement recorded also goes to the broker, under this recorder's meter.
    void publishTo(MeterPublisher &publisher);
    // Ends the run, why in the events file; finished() follows with the status, once.
    void finish(int exitStatus, const QString &why);

    const RunTotals &totals() const { return m_totals; }
    // "stopped: voltage below 3.5 V (3.49 V) after 2:41:07", once a stop condition ended the run.
    QString stopSummary() const { return m_stopSummary; }
    // Replies thrown away because their CRC did not match.
    int droppedFrames() const;

signals:
    void finished(int exitStatus);
    // For a publisher: the meter answering, by its name, going away, and each
    // measurement with the totals it was recorded with.
    void meterOnline(const QString &meter);
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
    void onMeasured(Measurement measurement);
    void onDurationTimeout();
    void onWaitOver();
    bool exceedsLimit(const Measurement &measurement);
    bool reachesStopCondition(const Measurement &measurement);
    void note(RunEvent::Kind kind, const QString &text = QString());

    const LoggerOptions m_options;
    RecordWriter &m_writer;
    RunPlot *m_plot;
    EventLog *m_events;
    QVector<StopCondition> m_stopConditions;
    QString m_stopSummary;
    CommonCurrentUSBDevice *m_device = nullptr;
    QString m_meter;
    RunTotals m_totals;
    RunClock m_ownClock;
    RunClock *m_clock = &m_ownClock;
    bool m_recording = false;
    QTimer m_waitTimer;
    QTimer m_durationTimer;
    bool m_online = false;
    bool m_everOnline = false;
    bool m_finished = false;
};

#endif // METERRECORDER_H
