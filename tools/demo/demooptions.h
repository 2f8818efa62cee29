// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef DEMOOPTIONS_H
#define DEMOOPTIONS_H

#include "loadprofile.h"

#include <QString>
#include <QStringList>

// What the demo launcher was asked to do, read from its command line.
struct DemoOptions
{
    enum Outcome { Run, ShowHelp, Invalid };

    QString program;
    LoadProfile profile = LoadProfile::bench();
    QString serial = QStringLiteral("AMMETER-DEMO-1");
    double replugSeconds = 0; // 0: the meter stays plugged in
    double seconds = 0; // 0: run until the program ends
    QString screenshot;

    // arguments as the process got them, the launcher's own path first. On
    // Invalid, error says what was wrong.
    Outcome parse(const QStringList &arguments, QString *error);
    // Needs a QCoreApplication, for the usage line.
    static QString helpText();
};

#endif // DEMOOPTIONS_H
