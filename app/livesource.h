// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef LIVESOURCE_H
#define LIVESOURCE_H

#include "measurementhistory.h"
#include "measurementsource.h"

class WindowMeters;

// The picked meter as the pages see it: what its device says, zeros included when it goes, and
// the history its feed keeps.
class LiveSource : public MeasurementSource
{
    Q_OBJECT

public:
    explicit LiveSource(WindowMeters *meters, QObject *parent = nullptr);

    const MeasurementHistory *history() const override;
    double timeZero() const override;

private:
    WindowMeters *m_meters;
    // The history before any meter came: empty.
    MeasurementHistory m_none;
};

#endif // LIVESOURCE_H
