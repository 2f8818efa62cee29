// SPDX-License-Identifier: GPL-3.0-or-later
#include "signalwatcher.h"

#include <QMetaObject>

#include <windows.h>

namespace {

SignalWatcher *watcher = nullptr;

// Runs on a thread of the system's own; the queued call carries the request
// over to the watcher's thread.
BOOL WINAPI onConsoleEvent(DWORD)
{
    QMetaObject::invokeMethod(watcher, &SignalWatcher::terminationRequested, Qt::QueuedConnection);
    return TRUE;
}

} // namespace

SignalWatcher::SignalWatcher(QObject *parent)
    : QObject(parent)
{
    watcher = this;
    SetConsoleCtrlHandler(onConsoleEvent, TRUE);
}
