// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef REPLAYCONTROLLER_H
#define REPLAYCONTROLLER_H

#include "measurementhistory.h"
#include "runreplayer.h"

#include <QHash>
#include <QObject>
#include <QPair>

#include <memory>

class CommonCurrentUSBDevice;
class CurrentAndNeedleDeviceWidget;
class CurrentDeviceLineWidget;
class CurrentDeviceWidget;
class KestravonSingleCurrentCustomPlot;
class RecordedRun;
class ReplayBar;

// A recorded run through the three live pages in the meter's place. While it replays, the
// meter's measurements are held back from the pages (whatever else listens to the meter, a
// recording among them, still hears them); when it ends the pages follow the meter again.
class ReplayController : public QObject
{
    Q_OBJECT

public:
    struct Pages
    {
        CurrentDeviceLineWidget *curve;
        CurrentDeviceWidget *needle;
        CurrentAndNeedleDeviceWidget *combined;
    };

    ReplayController(
        CommonCurrentUSBDevice *device, const Pages &pages, ReplayBar *bar, QObject *parent);
    ~ReplayController() override;

    bool isReplaying() const { return m_replayer.isActive(); }
    RunReplayer *replayer() { return &m_replayer; }

public slots:
    // The run stays owned by the caller until the replay ends.
    void start(const RecordedRun *run);
    void stop();

signals:
    void replayingChanged(bool replaying);

private:
    void connectBar();
    void holdLive();
    void resumeLive();
    void restartHistory();
    void onRowsReached(qint64 first, qint64 last);
    void showOnPages(float voltage, float current, float power);
    QList<KestravonSingleCurrentCustomPlot *> plots() const;

    CommonCurrentUSBDevice *m_device;
    Pages m_pages;
    ReplayBar *m_bar;
    RunReplayer m_replayer;
    const RecordedRun *m_run = nullptr;
    std::unique_ptr<MeasurementHistory> m_history;
    // Each live plot's own history and time zero, given back when the replay ends.
    QHash<KestravonSingleCurrentCustomPlot *, QPair<const MeasurementHistory *, double>> m_live;
    float m_lastLive[3] = {0, 0, 0};
};

#endif // REPLAYCONTROLLER_H
