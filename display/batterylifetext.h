// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef BATTERYLIFETEXT_H
#define BATTERYLIFETEXT_H

#include <QCoreApplication>
#include <QString>

// How long a battery lasts, in the user's words: "按此平均电流，2000 mAh 可用 41 小时 12 分".
class BatteryLifeText
{
    Q_DECLARE_TR_FUNCTIONS(BatteryLifeText)

public:
    // "41 小时 12 分", days and hours beyond ten days.
    static QString duration(double hours);
    static QString estimate(double capacityMah, double usableFraction, double meanAmperes);
};

#endif // BATTERYLIFETEXT_H
