// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef MEASUREMENTSOURCE_H
#define MEASUREMENTSOURCE_H

#include <QObject>

class MeasurementHistory;

// What the three live pages show: the picked meter (LiveSource), or a recorded run replayed in
// its place (ReplaySource). The pages follow whichever PageSource holds; a source has put a
// measurement into its history before it says shown().
class MeasurementSource : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    // Never null while the pages follow the source.
    virtual const MeasurementHistory *history() const = 0;
    // The curves' 0 on the history's time axis; NaN: the first measurement shown.
    virtual double timeZero() const = 0;

    // The values shown last, for pages that come back to this source; false before any.
    bool hasShown() const { return m_hasShown; }
    float voltage() const { return m_latest[0]; }
    float current() const { return m_latest[1]; }
    float power() const { return m_latest[2]; }

signals:
    void shown(float voltage, float current, float power);
    // Another history to draw from: the meter picked, or the replay sought.
    void historyChanged();

protected:
    void forget() { m_hasShown = false; }
    void show(float voltage, float current, float power)
    {
        m_latest[0] = voltage;
        m_latest[1] = current;
        m_latest[2] = power;
        m_hasShown = true;
        emit shown(voltage, current, power);
    }

private:
    float m_latest[3] = {0, 0, 0};
    bool m_hasShown = false;
};

#endif // MEASUREMENTSOURCE_H
