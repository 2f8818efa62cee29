// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef RECORDINGREADER_H
#define RECORDINGREADER_H

#include "measurement.h"

#include <QString>

#include <functional>

// Reads a recording back, CSV or JSON lines, measurement by measurement, for the same figures
// and picture a live run makes.
class RecordingReader
{
public:
    using Visitor = std::function<void(const Measurement &)>;

    // False, with errorString() naming the file and line, at the first line that
    // is not a measurement; the header and a last line cut short by a killed
    // recorder are passed over.
    bool read(const QString &fileName, const Visitor &visit);
    QString errorString() const { return m_errorString; }
    // The first line that is not a measurement; 0 when the file could not be read at all.
    int errorLine() const { return m_errorLine; }
    // Whether the last line was cut short and passed over.
    bool skippedTornLine() const { return m_skippedTornLine; }

private:
    QString m_errorString;
    int m_errorLine = 0;
    bool m_skippedTornLine = false;
};

#endif // RECORDINGREADER_H
