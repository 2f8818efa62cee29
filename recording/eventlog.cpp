// SPDX-License-Identifier: GPL-3.0-or-later
#include "eventlog.h"

#include <QFileInfo>

namespace {

const char *const Keywords[] = {"started", "stopped", "unplugged", "plugged", "silent", "answering",
    "condition", "limit", "note"};

// A note is one line of the user's; quoted as CSV wants when it holds a comma or a quote.
QByteArray csvField(QString text)
{
    text.replace(QLatin1Char('\n'), QLatin1Char(' ')).replace(QLatin1Char('\r'), QLatin1Char(' '));
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')))
        return text.toUtf8();
    text.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return '"' + text.toUtf8() + '"';
}

QString unquoted(const QString &field)
{
    if (field.size() < 2 || !field.startsWith(QLatin1Char('"'))
        || !field.endsWith(QLatin1Char('"')))
        return field;
    return field.mid(1, field.size() - 2).replace(QStringLiteral("\"\""), QStringLiteral("\""));
}

} // namespace

QString RunEvent::keyword(Kind kind)
{
    return QLatin1String(Keywords[kind]);
}

bool RunEvent::fromKeyword(const QString &word, Kind *kind)
{
    for (int i = 0; i <= Note; ++i) {
        if (word == QLatin1String(Keywords[i])) {
            *kind = Kind(i);
            return true;
        }
    }
    return false;
}

QString EventLog::header()
{
    return QStringLiteral("time,elapsed_s,event,text");
}

QString EventLog::fileNameFor(const QString &recordingFileName)
{
    return recordingFileName + QStringLiteral(".events");
}

bool EventLog::open(const QString &recordingFileName, bool append)
{
    m_file.setFileName(fileNameFor(recordingFileName));
    const QIODevice::OpenMode mode
        = QIODevice::WriteOnly | (append ? QIODevice::Append : QIODevice::Truncate);
    if (!m_file.open(mode)) {
        m_errorString
            = QStringLiteral("cannot write %1: %2").arg(m_file.fileName(), m_file.errorString());
        return false;
    }
    return m_file.size() > 0 || writeLine(header().toUtf8());
}

bool EventLog::write(RunEvent::Kind kind, double elapsedSeconds, const QString &text)
{
    return write({QDateTime::currentDateTime(), elapsedSeconds, kind, text});
}

bool EventLog::write(const RunEvent &event)
{
    if (!m_file.isOpen())
        return false;
    const QDateTime time = event.time.toOffsetFromUtc(event.time.offsetFromUtc());
    return writeLine(time.toString(Qt::ISODateWithMs).toUtf8() + ','
        + QByteArray::number(event.elapsedSeconds, 'f', 3) + ','
        + RunEvent::keyword(event.kind).toUtf8() + ',' + csvField(event.text));
}

bool EventLog::writeLine(const QByteArray &line)
{
    if (m_file.write(line + '\n') < 0 || !m_file.flush()) {
        m_errorString
            = QStringLiteral("cannot write %1: %2").arg(m_file.fileName(), m_file.errorString());
        return false;
    }
    return true;
}

RunEvents EventLog::read(const QString &recordingFileName)
{
    RunEvents events;
    QFile file(fileNameFor(recordingFileName));
    if (!file.open(QIODevice::ReadOnly))
        return events;
    // Far longer than any event; a longer line is not one.
    constexpr qint64 longestLine = 4096;
    while (!file.atEnd()) {
        const QByteArray raw = file.readLine(longestLine);
        if (!raw.endsWith('\n'))
            continue;
        const QString line = QString::fromUtf8(raw).trimmed();
        const int first = line.indexOf(QLatin1Char(','));
        const int second = line.indexOf(QLatin1Char(','), first + 1);
        const int third = line.indexOf(QLatin1Char(','), second + 1);
        if (first < 0 || second < 0 || third < 0)
            continue;
        RunEvent event;
        event.time = QDateTime::fromString(line.left(first), Qt::ISODateWithMs);
        bool number = false;
        event.elapsedSeconds = line.mid(first + 1, second - first - 1).toDouble(&number);
        if (event.time.isValid() && number
            && RunEvent::fromKeyword(line.mid(second + 1, third - second - 1), &event.kind)) {
            event.text = unquoted(line.mid(third + 1));
            events.append(event);
        }
    }
    return events;
}
