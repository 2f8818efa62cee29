// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef RECORDINGREADER_H
#define RECORDINGREADER_H

#include "measurement.h"

#include <QString>

#include <functional>

class RunPlot;
class RunTotals;

// Reads a recording back, CSV or JSON lines, measurement by measurement, into
// the same figures and picture a live run makes.
class RecordingReader
{
public:
    using Visitor = std::function<void(const Measurement &)>;

    // False, with errorString() naming the file and line, at the first line that
    // is not a measurement; the header and a last line cut short by a killed
    // recorder are passed over.
    bool read(const QString &fileName, const Visitor &visit);
    bool read(const QString &fileName, RunTotals &totals, RunPlot &plot);
    QString errorString() const { return m_errorString; }

private:
    QString m_errorString;
};

#endif // RECORDINGREADER_H
