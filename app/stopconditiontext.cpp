// SPDX-License-Identifier: GPL-3.0-or-later
#include "stopconditiontext.h"

#include "runstatusbar.h"

namespace {

// As many decimals as the status bar's figures show of each quantity.
int decimals(StopCondition::Kind kind)
{
    return kind == StopCondition::VoltageBelow ? 2 : kind == StopCondition::CurrentBelow ? 3 : 1;
}

} // namespace

QStringList StopConditionText::kindNames()
{
    return {tr("不自动停止"), tr("电压低于"), tr("电流低于"), tr("电荷达到"), tr("能量达到")};
}

QString StopConditionText::target(const StopCondition &condition)
{
    if (!condition.isArmed())
        return QString();
    return tr("%1 %2 %3")
        .arg(kindNames().at(condition.kind()))
        .arg(condition.threshold(), 0, 'f', decimals(condition.kind()))
        .arg(StopCondition::unit(condition.kind()));
}

QString StopConditionText::reached(const StopCondition &condition, double elapsedSeconds)
{
    return tr("录制已停止：%1（%2 %3），用时 %4")
        .arg(target(condition))
        .arg(condition.value(), 0, 'f', qMax(decimals(condition.kind()), condition.valueDecimals()))
        .arg(
            StopCondition::unit(condition.kind()), RunStatusBar::clockText(qint64(elapsedSeconds)));
}
