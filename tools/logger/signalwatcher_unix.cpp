// SPDX-License-Identifier: GPL-3.0-or-later
#include "signalwatcher.h"

#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// The handler may do next to nothing: it writes one byte, and the event loop,
// watching the other end, does the rest.
int signalSockets[2] = {-1, -1};
volatile sig_atomic_t requests = 0;

// A second request means the user will not wait for the summary and the picture.
void onSignal(int)
{
    if (requests++ > 0)
        ::_exit(130);
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(signalSockets[0], &byte, 1);
}

} // namespace

SignalWatcher::SignalWatcher(QObject *parent)
    : QObject(parent)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalSockets) != 0)
        return;
    m_notifier = new QSocketNotifier(signalSockets[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &SignalWatcher::onSignalArrived);
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    // A dropped SSH session hangs up: the run ends as on Ctrl+C, not without its summary.
    sigaction(SIGHUP, &action, nullptr);
}

void SignalWatcher::onSignalArrived()
{
    char byte = 0;
    [[maybe_unused]] const ssize_t got = ::read(signalSockets[1], &byte, 1);
    emit terminationRequested();
}
