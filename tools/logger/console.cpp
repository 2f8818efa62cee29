// SPDX-License-Identifier: GPL-3.0-or-later
#include "console.h"

#include <QStringList>

#include <cstdio>

void Console::say(const QString &message)
{
    const QStringList lines = message.split(QLatin1Char('\n'));
    for (const QString &line : lines)
        std::fprintf(stderr, "ammeter-log: %s\n", qPrintable(line));
    std::fflush(stderr);
}
