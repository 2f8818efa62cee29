// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef LOGGEROPTIONS_H
#define LOGGEROPTIONS_H

#include "brokersettings.h"
#include "recordwriter.h"
#include "stopcondition.h"

#include <QString>
#include <QStringList>
#include <QVector>

// What the command line asked for, every value already checked.
struct LoggerOptions
{
    enum Outcome { Run, ShowHelp, ShowVersion, Invalid };

    Outcome parse(const QStringList &arguments, QString *error);
    static QString helpText();

    QString output; // empty: standard output
    RecordWriter::Format format = RecordWriter::Csv;
    bool append = false;
    bool force = false;
    QString port; // empty: whichever meter the USB monitor finds
    QString serial; // empty: any meter
    bool all = false; // every meter, each into its own file
    qint64 waitMs = 30000; // 0: no limit
    qint64 durationMs = 0; // 0: no limit
    qint64 count = 0; // 0: no limit
    double maxCurrent = -1; // negative: no limit
    double maxPower = -1;
    bool exitOnUnplug = false;
    // A battery test's normal end: whichever is reached first ends the run with status 0.
    QVector<StopCondition> stopConditions;
    QString plot;
    QString from; // a recording to plot instead of a meter to record
    BrokerSettings mqtt;
    bool publishes() const { return !mqtt.host.isEmpty(); }
};

#endif // LOGGEROPTIONS_H
