// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef BATTERYPANEL_H
#define BATTERYPANEL_H

#include "recordedrun.h"
#include "runevent.h"

#include <QWidget>

class QDoubleSpinBox;
class QLabel;
class QPushButton;
class QSpinBox;

// How long a battery would keep the recorded device alive: at the mean current of the selection
// or of the whole run; blended from an active and a sleeping stretch with a duty cycle; and, for
// a run ended at its cut-off, the charge and energy it gave down to it.
class BatteryPanel : public QWidget
{
    Q_OBJECT

public:
    explicit BatteryPanel(QWidget *parent = nullptr);

    // The capacity and usable fraction remembered; changing them here emits batteryChanged().
    void setBattery(double capacityMah, double usableFraction);
    // The run and its events, a new one forgetting the stretches taken from the last.
    void setRun(const RecordedRun *run, const RunEvents &events);
    // The stretch the estimate is for; an empty selection means the whole run.
    void setSelection(bool selected, double from, double to);

signals:
    void batteryChanged(double capacityMah, double usableFraction);

protected:
    void changeEvent(QEvent *event) override;

private:
    void retranslate();
    void refreshFigures();
    void takeStretch(double *meanAmperes);
    QString dischargeText() const;

    const RecordedRun *m_run = nullptr;
    RunEvents m_events;
    bool m_selected = false;
    double m_from = 0;
    double m_to = 0;
    double m_activeAmperes = -1; // negative: not taken yet
    double m_sleepAmperes = -1;
    QDoubleSpinBox *m_capacity;
    QSpinBox *m_usable;
    QLabel *m_estimate;
    QPushButton *m_takeActive;
    QPushButton *m_takeSleep;
    QSpinBox *m_duty;
    QLabel *m_blended;
    QLabel *m_discharge;
};

#endif // BATTERYPANEL_H
