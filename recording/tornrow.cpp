// SPDX-License-Identifier: GPL-3.0-or-later
#include "tornrow.h"

#include <QFile>

namespace TornRow {

bool cut(const QString &fileName, QString *error)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadWrite)) {
        *error = QStringLiteral("cannot write %1: %2").arg(fileName, file.errorString());
        return false;
    }
    const QByteArray bytes = file.readAll();
    if (bytes.isEmpty() || bytes.endsWith('\n'))
        return true;
    if (!file.resize(bytes.lastIndexOf('\n') + 1)) {
        *error = QStringLiteral("cannot cut the torn last row of %1: %2")
                     .arg(fileName, file.errorString());
        return false;
    }
    return true;
}

} // namespace TornRow
