// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef RUNEVENT_H
#define RUNEVENT_H

#include <QDateTime>
#include <QString>
#include <QVector>

// Something that happened during a recording, at its time: kept beside the rows, so that the
// run tells afterwards why it has a gap or why it ended.
struct RunEvent
{
    enum Kind {
        Started,
        Stopped, // text: why
        Unplugged,
        Plugged,
        Silent,
        Answering,
        ConditionReached, // text: the condition and its value
        LimitCrossed, // text: the limit and the value
        Note, // text: the user's own words
    };

    QDateTime time;
    double elapsedSeconds = 0;
    Kind kind = Note;
    QString text;

    // The word the events file uses, the same in every language.
    static QString keyword(Kind kind);
    // False for a word no writer uses.
    static bool fromKeyword(const QString &word, Kind *kind);
};

using RunEvents = QVector<RunEvent>;

#endif // RUNEVENT_H
