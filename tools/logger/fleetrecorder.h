// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef FLEETRECORDER_H
#define FLEETRECORDER_H

#include "loggeroptions.h"
#include "meterrecorder.h"
#include "meterset.h"
#include "runplot.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <map>
#include <memory>

class MeterPublisher;
class RecordWriter;

// --all: every meter present and every one that comes, each recorded by a recorder of its
// own into a file of its own, all on one clock that starts with the run's first measurement.
// The run ends when a meter's recorder ends it (a limit, an unplug, an output error), when
// every recorder has reached its count or duration, or when asked from outside.
class FleetRecorder : public QObject
{
    Q_OBJECT
public:
    FleetRecorder(
        const LoggerOptions &options, const RunPlot::Colors &colors, QObject *parent = nullptr);
    ~FleetRecorder() override;

    // "run.csv" for meter "MTRA0001" is "run-MTRA0001.csv".
    static QString fileFor(const QString &fileName, const QString &meter);

    void start();
    void finish(int exitStatus, const QString &why);
    // Each meter's figures, under its name, and each picture saved: the status to end with.
    int report(int exitStatus);

signals:
    // Once every publisher has said goodbye.
    void finished(int exitStatus);

private:
    struct Member
    {
        std::unique_ptr<RecordWriter> writer;
        std::unique_ptr<EventLog> events;
        std::unique_ptr<RunPlot> plot;
        std::unique_ptr<MeterRecorder> recorder;
        std::unique_ptr<MeterPublisher> publisher;
        bool done = false;
    };

    void onMeterAdded(const QString &meter, CommonCurrentUSBDevice *device);
    bool openWriter(RecordWriter &writer, const QString &meter);
    void onMemberFinished(Member &member, int exitStatus);
    void endPublishing();
    void onWaitOver();

    const LoggerOptions m_options;
    const RunPlot::Colors m_colors;
    MeterSet m_meters;
    RunClock m_clock;
    QTimer m_waitTimer;
    std::map<QString, Member> m_members;
    int m_status = 0;
    int m_publishing = 0;
    bool m_finishing = false;
};

#endif // FLEETRECORDER_H
