// SPDX-License-Identifier: GPL-3.0-or-later
#include "settingslocation.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStandardPaths>

QString SettingsLocation::filePath()
{
    const QString programDir = QCoreApplication::applicationDirPath();
    // The kernel's own answer for this user (access(2)): it also says no for
    // a read-only mount or an immutable folder. Root may write to /usr/bin and
    // so keeps the file beside the executable.
    if (QFileInfo(programDir).isWritable())
        return programDir + QStringLiteral("/Settings.ini");
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
        + QStringLiteral("/ammeter/Settings.ini");
}
