// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef TORNROW_H
#define TORNROW_H

#include <QString>

namespace TornRow {

// A recorder killed in the middle of a row leaves it without its line end. Cuts such a
// last row off the file, so that what is appended next starts on a line of its own
// and the file stays valid. False, with `error` saying why, when the file cannot be cut.
bool cut(const QString &fileName, QString *error);

} // namespace TornRow

#endif // TORNROW_H
