// SPDX-License-Identifier: GPL-3.0-or-later
#include "recordingreader.h"

#include "recordwriter.h"
#include "runplot.h"
#include "runtotals.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>

namespace {

bool parseCsv(const QByteArray &line, Measurement &measurement)
{
    const QList<QByteArray> fields = line.split(',');
    if (fields.size() != 7)
        return false;
    measurement.time = QDateTime::fromString(QString::fromUtf8(fields.at(0)), Qt::ISODateWithMs);
    bool ok[4] = {};
    measurement.elapsedSeconds = fields.at(1).toDouble(&ok[0]);
    measurement.voltage = fields.at(2).toDouble(&ok[1]);
    measurement.current = fields.at(3).toDouble(&ok[2]);
    measurement.power = fields.at(4).toDouble(&ok[3]);
    return measurement.time.isValid() && ok[0] && ok[1] && ok[2] && ok[3];
}

bool parseJson(const QByteArray &line, Measurement &measurement)
{
    const QJsonObject object = QJsonDocument::fromJson(line).object();
    const QStringList names = RecordWriter::csvHeader().split(QLatin1Char(','));
    for (int i = 1; i < 5; ++i) {
        if (!object.value(names.at(i)).isDouble())
            return false;
    }
    measurement.time
        = QDateTime::fromString(object.value(names.at(0)).toString(), Qt::ISODateWithMs);
    measurement.elapsedSeconds = object.value(names.at(1)).toDouble();
    measurement.voltage = object.value(names.at(2)).toDouble();
    measurement.current = object.value(names.at(3)).toDouble();
    measurement.power = object.value(names.at(4)).toDouble();
    return measurement.time.isValid();
}

// Numbers that parse but no meter or recorder gives: they would upset every sum and axis after
// them (a run's time must be a number to sort by, and fit a clock of hours).
bool plausible(const Measurement &measurement)
{
    constexpr double longestRunSeconds = 1e9;
    return std::isfinite(measurement.voltage) && std::isfinite(measurement.current)
        && std::isfinite(measurement.power)
        && std::abs(measurement.elapsedSeconds) < longestRunSeconds;
}

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
    const QByteArray header = RecordWriter::csvHeader().toUtf8();
    for (int number = 1; !file.atEnd(); ++number) {
        const QByteArray line = file.readLine(longestLine);
        const QByteArray content = line.trimmed();
        if (content.isEmpty() || content == header)
            continue;
        Measurement measurement;
        const bool parsed = (content.startsWith('{') ? parseJson(content, measurement)
                                                     : parseCsv(content, measurement))
            && plausible(measurement);
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
        visit(measurement);
    }
    return true;
}

bool RecordingReader::read(const QString &fileName, RunTotals &totals, RunPlot &plot)
{
    return read(fileName, [&totals, &plot](const Measurement &measurement) {
        plot.add(measurement, totals.add(measurement));
    });
}
