// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef CLOCKTEXT_H
#define CLOCKTEXT_H

#include <QString>

// A time span as the window's clocks show it, "hh:mm:ss", the seconds cut rather than rounded.
inline QString clockText(double seconds)
{
    const qint64 whole = qMax<qint64>(0, qint64(seconds));
    return QStringLiteral("%1:%2:%3")
        .arg(whole / 3600, 2, 10, QLatin1Char('0'))
        .arg(whole / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(whole % 60, 2, 10, QLatin1Char('0'));
}

#endif // CLOCKTEXT_H
