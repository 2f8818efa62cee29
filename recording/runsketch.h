// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef RUNSKETCH_H
#define RUNSKETCH_H

#include <QPointF>
#include <QVector>

// The shape of a whole recording at a glance, before its rows are read: the current of rows
// taken at even steps through the file, from its first row to its last. A week is sketched in a
// few milliseconds, so its page shows the run while every row is still being read.
struct RunSketch
{
    // Seconds into the run and amperes, oldest first.
    QVector<QPointF> current;

    bool isEmpty() const { return current.isEmpty(); }
    double durationSeconds() const { return isEmpty() ? 0 : current.last().x(); }

    // At most `points` rows of the file's bytes. A line that is not a measurement (the header,
    // a torn last row, a foreign line) is passed over for the next one.
    static RunSketch of(const char *bytes, qint64 size, int points);
};

#endif // RUNSKETCH_H
