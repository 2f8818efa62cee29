// SPDX-License-Identifier: GPL-3.0-or-later
#include "recordingreader.h"

#include "recordwriter.h"
#include "runplot.h"
#include "runtotals.h"

#include <QFile>

namespace {

bool parse(const QByteArray &line, Measurement &measurement)
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

} // namespace

bool RecordingReader::read(const QString &fileName, RunTotals &totals, RunPlot &plot)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        m_errorString = QStringLiteral("cannot read %1: %2").arg(fileName, file.errorString());
        return false;
    }
    const QByteArray header = RecordWriter::csvHeader().toUtf8();
    for (int number = 1; !file.atEnd(); ++number) {
        const QByteArray line = file.readLine();
        const QByteArray content = line.trimmed();
        if (content.isEmpty() || content == header)
            continue;
        Measurement measurement;
        if (!parse(content, measurement)) {
            if (!line.endsWith('\n') && file.atEnd())
                break;
            m_errorString = QStringLiteral("%1:%2: not a measurement of an ammeter-log CSV "
                                           "recording")
                                .arg(fileName)
                                .arg(number);
            return false;
        }
        plot.add(measurement, totals.add(measurement));
    }
    return true;
}
