// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef STOPCONDITIONTEXT_H
#define STOPCONDITIONTEXT_H

#include "stopcondition.h"

#include <QCoreApplication>

// A recording's stop condition in the user's words, for the status bar and the notice.
class StopConditionText
{
    Q_DECLARE_TR_FUNCTIONS(StopConditionText)

public:
    // "电压低于 3.50 V"; empty for no condition.
    static QString target(const StopCondition &condition);
    // "录制已停止：电压低于 3.50 V（3.49 V），用时 2:41:07"
    static QString reached(const StopCondition &condition, double elapsedSeconds);
    // The names of the kinds, in StopCondition::Kind's order, for a choice.
    static QStringList kindNames();
};

#endif // STOPCONDITIONTEXT_H
