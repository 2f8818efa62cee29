// SPDX-License-Identifier: GPL-3.0-or-later
#include "batterylifetext.h"

#include "batterylife.h"

QString BatteryLifeText::duration(double hours)
{
    const qint64 minutes = qRound64(hours * 60);
    if (minutes < 60)
        return tr("%1 分").arg(minutes);
    // Beyond ten days the minutes are noise of the estimate.
    if (minutes >= 240 * 60) {
        const qint64 wholeHours = qRound64(hours);
        return tr("%1 天 %2 小时").arg(wholeHours / 24).arg(wholeHours % 24);
    }
    return tr("%1 小时 %2 分").arg(minutes / 60).arg(minutes % 60);
}

QString BatteryLifeText::estimate(double capacityMah, double usableFraction, double meanAmperes)
{
    const double hours = BatteryLife::hours(capacityMah, usableFraction, meanAmperes);
    if (hours < 0)
        return tr("没有电流，无法估计电池续航");
    const QString capacity = QString::number(capacityMah, 'g', 6);
    if (usableFraction < 1)
        return tr("按此平均电流，%1 mAh 的 %2 % 可用 %3")
            .arg(capacity, QString::number(qRound(usableFraction * 100)), duration(hours));
    return tr("按此平均电流，%1 mAh 可用 %2").arg(capacity, duration(hours));
}
