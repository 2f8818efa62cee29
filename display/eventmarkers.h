// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef EVENTMARKERS_H
#define EVENTMARKERS_H

#include "recordedrun.h"
#include "runevent.h"

#include <QColor>
#include <QObject>
#include <QVector>

class QCPAbstractItem;
class QCustomPlot;

// A run's events drawn on a plot of it: a dotted line at each, with its label along the top.
class EventMarkers : public QObject
{
    Q_OBJECT

public:
    explicit EventMarkers(QCustomPlot *plot);

    // Adds the markers of one run's events, in that run's colour.
    void add(const RecordedRun &run, const RunEvents &events, const QColor &color);
    void clear();
    int count() const { return int(m_items.size()) / 2; }

private:
    QCustomPlot *m_plot;
    QVector<QCPAbstractItem *> m_items;
};

#endif // EVENTMARKERS_H
