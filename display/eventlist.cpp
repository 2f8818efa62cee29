// SPDX-License-Identifier: GPL-3.0-or-later
#include "eventlist.h"

#include "clocktext.h"
#include "eventtext.h"

EventList::EventList(QWidget *parent)
    : QListWidget(parent)
{
    setObjectName(QStringLiteral("lstEvents"));
    setStyleSheet(QStringLiteral("color: white; background: transparent;"));
    // A long note wraps rather than hide behind a scroll bar.
    setWordWrap(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    connect(this, &QListWidget::itemClicked, this,
        [this](QListWidgetItem *item) { emit eventChosen(item->data(Qt::UserRole).toDouble()); });
}

void EventList::setEvents(const RecordedRun &run, const RunEvents &events)
{
    clear();
    for (const RunEvent &event : events) {
        const double seconds = EventText::seconds(run, event);
        auto *item = new QListWidgetItem(
            clockText(seconds) + QStringLiteral("  ") + EventText::detail(event));
        item->setData(Qt::UserRole, seconds);
        item->setToolTip(item->text());
        addItem(item);
    }
    setVisible(count() > 0);
}
