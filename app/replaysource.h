// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef REPLAYSOURCE_H
#define REPLAYSOURCE_H

#include "measurementsource.h"

#include <memory>

class RecordedRun;

// A recorded run as the pages see it while it replays: the rows the replay has reached, in a
// history of their own on the run's time axis, and the newest of them on the numbers and dials.
class ReplaySource : public MeasurementSource
{
    Q_OBJECT

public:
    explicit ReplaySource(QObject *parent = nullptr);
    ~ReplaySource() override;

    const MeasurementHistory *history() const override { return m_history.get(); }
    double timeZero() const override { return 0; }

    // From the run's start, or from where the replay jumped to: a history begun anew.
    void restart(const RecordedRun *run);
    void end();
    // The rows the replay has come to since the last call.
    void reach(qint64 first, qint64 last);

private:
    const RecordedRun *m_run = nullptr;
    std::unique_ptr<MeasurementHistory> m_history;
};

#endif // REPLAYSOURCE_H
