// SPDX-License-Identifier: GPL-3.0-or-later
#include "recordingreader.h"

#include "rowparser.h"

#include <QFile>

namespace {

// Far longer than any row; a file with longer lines is not a recording, and reading one such
// line whole could take all the memory there is.
constexpr qint64 longestLine = 4096;

} // namespace

bool RecordingReader::read(const QString &fileName, const Visitor &visit)
{
    m_errorLine = 0;
    m_skippedTornLine = false;
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        m_errorString = QStringLiteral("cannot read %1: %2").arg(fileName, file.errorString());
        return false;
    }
    for (int number = 1; !file.atEnd(); ++number) {
        const QByteArray line = file.readLine(longestLine);
        RowParser::Values values;
        Measurement measurement;
        const RowParser::Kind kind = RowParser::parse(
            line.constData(), line.constData() + line.size(), values, &measurement.time);
        if (kind == RowParser::Blank)
            continue;
        const bool parsed = kind == RowParser::Row;
        if (!parsed) {
            if (!line.endsWith('\n') && file.atEnd()) {
                m_skippedTornLine = true;
                break;
            }
            m_errorLine = number;
            m_errorString = QStringLiteral("%1:%2: not a measurement of an ammeter-log "
                                           "recording")
                                .arg(fileName)
                                .arg(number);
            return false;
        }
        measurement.elapsedSeconds = values.elapsed;
        measurement.voltage = values.voltage;
        measurement.current = values.current;
        measurement.power = values.power;
        visit(measurement);
    }
    return true;
}
