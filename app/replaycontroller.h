// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef REPLAYCONTROLLER_H
#define REPLAYCONTROLLER_H

#include "replaysource.h"
#include "runreplayer.h"

#include <QObject>

class MeasurementSource;
class PageSource;
class RecordedRun;
class ReplayBar;

// A recorded run through the three live pages in the meter's place: while it replays the pages
// follow the replay's source; the meter is still heard by everything else, a recording among
// them. When it ends the pages follow the live source again.
class ReplayController : public QObject
{
    Q_OBJECT

public:
    ReplayController(
        PageSource *pages, const MeasurementSource *live, ReplayBar *bar, QObject *parent);

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

    PageSource *m_pages;
    const MeasurementSource *m_live;
    ReplayBar *m_bar;
    RunReplayer m_replayer;
    ReplaySource m_source;
    const RecordedRun *m_run = nullptr;
};

#endif // REPLAYCONTROLLER_H
