// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef EVENTLIST_H
#define EVENTLIST_H

#include "recordedrun.h"
#include "runevent.h"

#include <QListWidget>

// A run's events in time order, each with its time since the run's start; a click asks for the
// curve to be shown around it.
class EventList : public QListWidget
{
    Q_OBJECT

public:
    explicit EventList(QWidget *parent = nullptr);

    void setEvents(const RecordedRun &run, const RunEvents &events);

signals:
    void eventChosen(double seconds);
};

#endif // EVENTLIST_H
