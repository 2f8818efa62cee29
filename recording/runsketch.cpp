// SPDX-License-Identifier: GPL-3.0-or-later
#include "runsketch.h"

#include "rowparser.h"

#include <cstring>

namespace {

// How many lines from a step's place are tried for a measurement before the step is passed.
constexpr int LinesTried = 4;

// The first measurement at or after `line`, nullptr when there is none near. A last line
// without a line break counts as the full reading counts it: as a row where it reads as one.
const char *rowFrom(const char *line, const char *end, RowParser::Values &values)
{
    for (int tries = 0; tries < LinesTried && line < end; ++tries) {
        const char *lineEnd
            = static_cast<const char *>(std::memchr(line, '\n', size_t(end - line)));
        if (!lineEnd)
            lineEnd = end;
        if (RowParser::parse(line, lineEnd, values) == RowParser::Row)
            return line;
        line = lineEnd + 1;
    }
    return nullptr;
}

// The start of the line before the one starting at `line`.
const char *lineBefore(const char *bytes, const char *line)
{
    const char *c = line - 1;
    while (c > bytes && c[-1] != '\n')
        --c;
    return c;
}

} // namespace

RunSketch RunSketch::of(const char *bytes, qint64 size, int points)
{
    RunSketch sketch;
    const char *end = bytes + size;
    const char *previous = nullptr;
    double shift = 0;
    RowParser::Values values;
    // Each row once, however many steps fall on it; a recording appended to another starts its
    // clock again, and the sketch runs on from where it was.
    const auto add = [&](const char *line) {
        if (!line || line == previous)
            return;
        if (sketch.isEmpty())
            shift = -values.elapsed;
        else if (values.elapsed + shift < sketch.current.last().x())
            shift = sketch.current.last().x() - values.elapsed;
        sketch.current.append(QPointF(values.elapsed + shift, values.current));
        previous = line;
    };
    for (int i = 0; i + 1 < points; ++i) {
        const char *at = bytes + size * i / (points - 1);
        if (at > bytes && at[-1] != '\n') {
            at = static_cast<const char *>(std::memchr(at, '\n', size_t(end - at)));
            if (!at)
                break;
            ++at;
        }
        add(rowFrom(at, end, values));
    }
    // The last whole row, so the sketch is as long as the run.
    const char *last = end;
    for (int tries = 0; tries < LinesTried && last > bytes; ++tries) {
        last = lineBefore(bytes, last);
        if (rowFrom(last, end, values) == last) {
            if (!previous || last > previous)
                add(last);
            break;
        }
    }
    return sketch;
}
