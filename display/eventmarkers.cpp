// SPDX-License-Identifier: GPL-3.0-or-later
#include "eventmarkers.h"

#include "eventtext.h"

#include <qcustomplot.h>

EventMarkers::EventMarkers(QCustomPlot *plot)
    : QObject(plot)
    , m_plot(plot)
{ }

void EventMarkers::add(const RecordedRun &run, const RunEvents &events, const QColor &color)
{
    for (const RunEvent &event : events) {
        const double seconds = EventText::seconds(run, event);
        auto *line = new QCPItemStraightLine(m_plot);
        line->setPen(QPen(color, 1, Qt::DotLine));
        line->point1->setCoords(seconds, 0);
        line->point2->setCoords(seconds, 1);
        auto *label = new QCPItemText(m_plot);
        label->setObjectName(QStringLiteral("eventMarker"));
        label->position->setTypeY(QCPItemPosition::ptAxisRectRatio);
        label->position->setCoords(seconds, 0.02);
        label->setPositionAlignment(Qt::AlignLeft | Qt::AlignTop);
        // Upright along the line, so that events close together do not cover each other.
        label->setRotation(90);
        label->setColor(color);
        label->setText(EventText::label(event));
        label->setClipToAxisRect(true);
        m_items << line << label;
    }
    m_plot->replot(QCustomPlot::rpQueuedReplot);
}

void EventMarkers::clear()
{
    for (QCPAbstractItem *item : qAsConst(m_items))
        m_plot->removeItem(item);
    m_items.clear();
}
