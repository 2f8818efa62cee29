// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef CONSOLE_H
#define CONSOLE_H

#include <QString>

// Standard error is the recorder's voice: standard output may carry the recording.
namespace Console {

// Each line of the message, prefixed with the program's name, flushed at once.
void say(const QString &message);

} // namespace Console

#endif // CONSOLE_H
