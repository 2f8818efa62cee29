// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef SIGNALWATCHER_H
#define SIGNALWATCHER_H

#include <QObject>

class QSocketNotifier;

// Turns Ctrl+C, SIGTERM and SIGHUP (on Windows: Ctrl+C, Ctrl+Break and the
// console closing) into a Qt signal on the thread that made the watcher, so a
// run can end the way it ends by itself: the summary written, the picture drawn.
// A second Ctrl+C on Unix ends the process at once.
class SignalWatcher : public QObject
{
    Q_OBJECT
public:
    explicit SignalWatcher(QObject *parent = nullptr);

signals:
    void terminationRequested();

private:
#ifndef Q_OS_WIN
    void onSignalArrived();
    QSocketNotifier *m_notifier = nullptr;
#endif
};

#endif // SIGNALWATCHER_H
