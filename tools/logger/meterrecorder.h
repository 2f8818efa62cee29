// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef METERRECORDER_H
#define METERRECORDER_H

#include "loggeroptions.h"
#include "runtotals.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

class CommonCurrentUSBDevice;
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

    void start();
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
    void followPort();
    void onDeviceOnline();
    void onDeviceOffline();
    void onDeviceNotResponding();
    void onDeviceResponding();
    void onOpenFailed(const QString &systemLocation, int error);
    void onMeasured(Measurement measurement);
    void onDurationTimeout();
    void onWaitOver();
    bool exceedsLimit(const Measurement &measurement);

    const LoggerOptions m_options;
    RecordWriter &m_writer;
    RunPlot *m_plot;
    CommonCurrentUSBDevice *m_device = nullptr;
    RunTotals m_totals;
    QElapsedTimer m_clock;
    // The first measurement's time on the measurements' monotonic clock: the elapsed column's 0.
    qint64 m_originNs = 0;
    QTimer m_waitTimer;
    QTimer m_durationTimer;
    bool m_online = false;
    bool m_everOnline = false;
    bool m_finished = false;
};

#endif // METERRECORDER_H
