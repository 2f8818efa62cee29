// SPDX-License-Identifier: GPL-3.0-or-later
#include "pagesource.h"

#include "measurementsource.h"

void PageSource::follow(const MeasurementSource *source)
{
    if (source == m_source)
        return;
    for (const QMetaObject::Connection &connection : std::as_const(m_followed))
        disconnect(connection);
    m_source = source;
    m_followed = {
        connect(source, &MeasurementSource::shown, this, &PageSource::shown),
        connect(source, &MeasurementSource::historyChanged, this, &PageSource::showHistory),
    };
    showHistory();
    // A source that has said nothing yet leaves the pages as they are until it does.
    if (source->hasShown())
        emit shown(source->voltage(), source->current(), source->power());
}

void PageSource::showHistory()
{
    emit historyChanged(m_source->history(), m_source->timeZero());
}
