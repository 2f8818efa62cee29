// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef RUNPLOT_H
#define RUNPLOT_H

#include "measurement.h"

#include <QColor>
#include <QString>
#include <QVector>

// The picture of a run: current and power against the wall clock, with a
// caption. It keeps what it needs of every measurement, 16 bytes each, so only
// a run that asked for a picture pays for one.
class RunPlot
{
public:
    struct Colors
    {
        QColor background;
        QColor axis;
        QColor current;
        QColor power;
    };

    explicit RunPlot(const Colors &colors);

    // A gap before a measurement breaks the curves there instead of bridging it.
    void add(const Measurement &measurement, bool gapBefore);
    // False, with errorString() saying why, when the file cannot be written.
    bool save(const QString &fileName, const QString &caption);
    QString errorString() const { return m_errorString; }

private:
    Colors m_colors;
    QVector<double> m_seconds; // since the epoch, as the date-time axis wants them
    QVector<float> m_current;
    QVector<float> m_power;
    QString m_errorString;
};

#endif // RUNPLOT_H
