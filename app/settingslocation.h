// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef SETTINGSLOCATION_H
#define SETTINGSLOCATION_H

#include <QString>

namespace SettingsLocation {

// "Settings.ini" beside the executable when its user may write there, as in
// a build tree or an unpacked copy; otherwise, as for a program installed in
// /usr/bin, the same file in the user's configuration folder:
// $XDG_CONFIG_HOME/ammeter/Settings.ini, by default ~/.config/ammeter/.
QString filePath();

} // namespace SettingsLocation

#endif // SETTINGSLOCATION_H
