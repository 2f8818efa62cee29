// SPDX-License-Identifier: GPL-3.0-or-later
#include "tornrow.h"

#include <QFile>

namespace TornRow {

namespace {

// The tail is read back a block at a time: a week's recording is half a gigabyte, and only its
// last line can be torn.
const qint64 BlockSize = 64 * 1024;

// Where the last line end lies, -1 when there is none.
qint64 lastLineEnd(QFile &file)
{
    for (qint64 end = file.size(); end > 0;) {
        const qint64 start = qMax<qint64>(0, end - BlockSize);
        if (!file.seek(start))
            return -1;
        const int at = file.read(end - start).lastIndexOf('\n');
        if (at >= 0)
            return start + at;
        end = start;
    }
    return -1;
}

} // namespace

bool cut(const QString &fileName, QString *error)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadWrite)) {
        *error = QStringLiteral("cannot write %1: %2").arg(fileName, file.errorString());
        return false;
    }
    const qint64 size = file.size();
    if (size == 0 || (file.seek(size - 1) && file.read(1) == "\n"))
        return true;
    if (!file.resize(lastLineEnd(file) + 1)) {
        *error = QStringLiteral("cannot cut the torn last row of %1: %2")
                     .arg(fileName, file.errorString());
        return false;
    }
    return true;
}

} // namespace TornRow
