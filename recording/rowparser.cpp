// SPDX-License-Identifier: GPL-3.0-or-later
#include "rowparser.h"

#include "recordwriter.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <charconv>
#include <cmath>
#include <cstring>

namespace RowParser {

namespace {

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// The recorders' own numbers, "-12.345678": at most 15 digits in all, each exact in a double,
// so one division by an exact power of ten rounds just as std::from_chars does, in a third of
// its time. False for anything else, which std::from_chars then reads.
bool plainDecimal(const char *begin, const char *end, double &value)
{
    static constexpr double powers[]
        = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    const bool negative = begin < end && *begin == '-';
    const char *c = begin + (negative ? 1 : 0);
    quint64 mantissa = 0;
    int digits = 0;
    int decimals = -1;
    for (; c < end; ++c) {
        if (*c == '.' && decimals < 0) {
            decimals = 0;
            continue;
        }
        const unsigned digit = unsigned(*c - '0');
        if (digit > 9 || ++digits > 15)
            return false;
        mantissa = mantissa * 10 + digit;
        if (decimals >= 0)
            ++decimals;
    }
    if (digits == 0)
        return false;
    const double magnitude = double(mantissa) / powers[decimals > 0 ? decimals : 0];
    value = negative ? -magnitude : magnitude;
    return true;
}

bool number(const char *begin, const char *end, double &value)
{
    while (begin < end && isSpace(*begin))
        ++begin;
    while (end > begin && isSpace(end[-1]))
        --end;
    if (begin < end && *begin == '+')
        ++begin;
    if (plainDecimal(begin, end, value))
        return true;
    const std::from_chars_result result = std::from_chars(begin, end, value);
    return result.ec == std::errc() && result.ptr == end;
}

// The shape of an ISO time, 2026-12-07T01:54:10.010Z: a row is told from a foreign line by
// it without the cost of reading every row's time of day.
bool looksLikeTime(const char *begin, const char *end)
{
    return end - begin >= 19 && begin[4] == '-' && begin[7] == '-' && begin[10] == 'T'
        && begin[13] == ':';
}

QDateTime timeOf(const QString &text)
{
    return QDateTime::fromString(text, Qt::ISODateWithMs);
}

Kind parseCsv(const char *begin, const char *end, Values &values, QDateTime *time)
{
    const char *fields[8];
    int count = 0;
    fields[count++] = begin;
    for (const char *c = begin;
         (c = static_cast<const char *>(std::memchr(c, ',', size_t(end - c)))) != nullptr; ++c) {
        if (count == 7)
            return Bad;
        fields[count++] = c + 1;
    }
    if (count != 7)
        return Bad;
    fields[7] = end + 1;
    const auto field
        = [&](int i, double &value) { return number(fields[i], fields[i + 1] - 1, value); };
    if (!looksLikeTime(fields[0], fields[1] - 1) || !field(1, values.elapsed)
        || !field(2, values.voltage) || !field(3, values.current) || !field(4, values.power))
        return Bad;
    if (time) {
        *time = timeOf(QString::fromLatin1(fields[0], int(fields[1] - 1 - fields[0])));
        if (!time->isValid())
            return Bad;
    }
    return Row;
}

Kind parseJson(const char *begin, const char *end, Values &values, QDateTime *time)
{
    const QJsonObject object
        = QJsonDocument::fromJson(QByteArray::fromRawData(begin, int(end - begin))).object();
    static const QStringList names = RecordWriter::csvHeader().split(QLatin1Char(','));
    double *targets[] = {&values.elapsed, &values.voltage, &values.current, &values.power};
    for (int i = 1; i < 5; ++i) {
        const QJsonValue value = object.value(names.at(i));
        if (!value.isDouble())
            return Bad;
        *targets[i - 1] = value.toDouble();
    }
    const QDateTime stamp = timeOf(object.value(names.at(0)).toString());
    if (!stamp.isValid())
        return Bad;
    if (time)
        *time = stamp;
    return Row;
}

// Numbers that parse but no meter or recorder gives: they would upset every sum and axis after
// them (a run's time must be a number to sort by, and fit a clock of hours).
bool plausible(const Values &values)
{
    constexpr double longestRunSeconds = 1e9;
    return std::isfinite(values.voltage) && std::isfinite(values.current)
        && std::isfinite(values.power) && std::abs(values.elapsed) < longestRunSeconds;
}

} // namespace

Kind parse(const char *begin, const char *end, Values &values, QDateTime *time)
{
    while (begin < end && isSpace(*begin))
        ++begin;
    while (end > begin && isSpace(end[-1]))
        --end;
    if (begin == end)
        return Blank;
    static const QByteArray header = RecordWriter::csvHeader().toLatin1();
    if (end - begin == header.size() && std::memcmp(begin, header.constData(), header.size()) == 0)
        return Blank;
    const Kind kind
        = *begin == '{' ? parseJson(begin, end, values, time) : parseCsv(begin, end, values, time);
    return kind == Row && !plausible(values) ? Bad : kind;
}

} // namespace RowParser
