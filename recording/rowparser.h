// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef ROWPARSER_H
#define ROWPARSER_H

#include <QDateTime>

// One line of a recording, CSV or JSON lines, read straight from the file's bytes: the numbers
// a run is drawn and measured from, without building a string per row, so a week of rows
// reads at the speed of the disk.
namespace RowParser {

struct Values
{
    double elapsed = 0;
    double voltage = 0;
    double current = 0;
    double power = 0;
};

enum Kind {
    Row,
    // The header, or a line with nothing on it.
    Blank,
    Bad,
};

// `end` is the line's end, without its line break. With `time` the row's time of day is read
// too, which only the few rows where a run's clock starts again need.
Kind parse(const char *begin, const char *end, Values &values, QDateTime *time = nullptr);

} // namespace RowParser

#endif // ROWPARSER_H
