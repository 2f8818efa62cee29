// SPDX-License-Identifier: GPL-3.0-or-later
#include "batterypanel.h"

#include "batterylife.h"
#include "batterylifetext.h"
#include "eventtext.h"

#include <QDoubleSpinBox>
#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>

BatteryPanel::BatteryPanel(QWidget *parent)
    : QWidget(parent)
    , m_capacity(new QDoubleSpinBox(this))
    , m_usable(new QSpinBox(this))
    , m_estimate(new QLabel(this))
    , m_takeActive(new QPushButton(this))
    , m_takeSleep(new QPushButton(this))
    , m_duty(new QSpinBox(this))
    , m_blended(new QLabel(this))
    , m_discharge(new QLabel(this))
{
    setObjectName(QStringLiteral("batteryPanel"));
    m_capacity->setObjectName(QStringLiteral("spinCapacity"));
    m_capacity->setRange(0.001, 1e9);
    m_capacity->setDecimals(0);
    m_capacity->setSuffix(QStringLiteral(" mAh"));
    m_capacity->setValue(2000);
    m_usable->setObjectName(QStringLiteral("spinUsable"));
    m_usable->setRange(1, 100);
    m_usable->setSuffix(QStringLiteral(" %"));
    m_usable->setValue(100);
    m_estimate->setObjectName(QStringLiteral("lblBatteryEstimate"));
    m_takeActive->setObjectName(QStringLiteral("btnTakeActive"));
    m_takeSleep->setObjectName(QStringLiteral("btnTakeSleep"));
    m_duty->setObjectName(QStringLiteral("spinDuty"));
    m_duty->setRange(0, 100);
    m_duty->setSuffix(QStringLiteral(" %"));
    m_duty->setValue(10);
    m_blended->setObjectName(QStringLiteral("lblBlendedEstimate"));
    m_discharge->setObjectName(QStringLiteral("lblDischarge"));
    for (QLabel *label : {m_estimate, m_blended, m_discharge}) {
        label->setStyleSheet(QStringLiteral("color: white;"));
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        label->setWordWrap(true);
    }

    auto *layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_capacity, 0, 0);
    layout->addWidget(m_usable, 0, 1);
    layout->addWidget(m_estimate, 0, 2, 1, 3);
    layout->addWidget(m_takeActive, 1, 0);
    layout->addWidget(m_takeSleep, 1, 1);
    layout->addWidget(m_duty, 1, 2);
    layout->addWidget(m_blended, 1, 3, 1, 2);
    layout->addWidget(m_discharge, 2, 0, 1, 5);
    layout->setColumnStretch(4, 1);

    const auto batteryEdited = [this] {
        emit batteryChanged(m_capacity->value(), m_usable->value() / 100.0);
        refreshFigures();
    };
    connect(m_capacity, &QDoubleSpinBox::editingFinished, this, batteryEdited);
    connect(m_usable, &QSpinBox::editingFinished, this, batteryEdited);
    connect(
        m_duty, QOverload<int>::of(&QSpinBox::valueChanged), this, &BatteryPanel::refreshFigures);
    connect(m_takeActive, &QPushButton::clicked, this, [this] { takeStretch(&m_activeAmperes); });
    connect(m_takeSleep, &QPushButton::clicked, this, [this] { takeStretch(&m_sleepAmperes); });
    retranslate();
}

void BatteryPanel::setBattery(double capacityMah, double usableFraction)
{
    const QSignalBlocker capacity(m_capacity);
    const QSignalBlocker usable(m_usable);
    m_capacity->setValue(capacityMah);
    m_usable->setValue(qRound(usableFraction * 100));
    refreshFigures();
}

void BatteryPanel::setRun(const RecordedRun *run, const RunEvents &events)
{
    m_run = run;
    m_events = events;
    m_selected = false;
    m_activeAmperes = -1;
    m_sleepAmperes = -1;
    refreshFigures();
}

void BatteryPanel::setSelection(bool selected, double from, double to)
{
    m_selected = selected;
    m_from = from;
    m_to = to;
    refreshFigures();
}

void BatteryPanel::takeStretch(double *meanAmperes)
{
    if (m_run && m_selected)
        *meanAmperes = m_run->totals(m_from, m_to).meanCurrent();
    refreshFigures();
}

void BatteryPanel::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QWidget::changeEvent(event);
}

void BatteryPanel::retranslate()
{
    m_capacity->setToolTip(tr("电池容量"));
    m_usable->setToolTip(tr("可用部分：截止电压、老化和低温使电池放不完"));
    m_takeActive->setText(tr("选区为工作段"));
    m_takeSleep->setText(tr("选区为休眠段"));
    m_duty->setToolTip(tr("工作段所占的时间"));
    refreshFigures();
}

void BatteryPanel::refreshFigures()
{
    m_takeActive->setEnabled(m_selected);
    m_takeSleep->setEnabled(m_selected);
    if (!m_run || m_run->isEmpty()) {
        for (QLabel *label : {m_estimate, m_blended, m_discharge})
            label->clear();
        return;
    }
    const double capacity = m_capacity->value();
    const double usable = m_usable->value() / 100.0;
    const RunTotals totals = m_selected ? m_run->totals(m_from, m_to) : m_run->totals();
    m_estimate->setText((m_selected ? tr("选区") : tr("整个记录")) + QStringLiteral(" · ")
        + BatteryLifeText::estimate(capacity, usable, totals.meanCurrent()));
    if (m_activeAmperes < 0 || m_sleepAmperes < 0) {
        m_blended->setText(tr("选取一段工作和一段休眠，按占空比估计续航"));
    } else {
        const double duty = m_duty->value() / 100.0;
        const double mean = BatteryLife::blendedAmperes(m_activeAmperes, m_sleepAmperes, duty);
        m_blended->setText(tr("工作 %1 mA · 休眠 %2 mA · 平均 %3 mA · %4")
                               .arg(m_activeAmperes * 1000, 0, 'f', 3)
                               .arg(m_sleepAmperes * 1000, 0, 'f', 3)
                               .arg(mean * 1000, 0, 'f', 3)
                               .arg(BatteryLifeText::estimate(capacity, usable, mean)));
    }
    m_discharge->setText(dischargeText());
}

// The run's figures down to the moment its stop condition held; the energy also in Wh, to the
// digits of the recording's own last energy value.
QString BatteryPanel::dischargeText() const
{
    for (const RunEvent &event : m_events) {
        if (event.kind != RunEvent::ConditionReached)
            continue;
        const RunTotals totals
            = m_run->totals(0, EventText::seconds(*m_run, event) + RunTotals::GapSeconds);
        return tr("放电至截止（%1）：电荷 %2 mAh · 能量 %3 mWh（%4 Wh）")
            .arg(event.text)
            .arg(totals.chargeMilliampereHours(), 0, 'f', 3)
            .arg(totals.energyMilliwattHours(), 0, 'f', 3)
            .arg(totals.energyMilliwattHours() / 1000, 0, 'f', 6);
    }
    return QString();
}
