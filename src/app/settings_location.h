// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where the settings file lives: beside the executable, as always, when the program's folder can
// be written; otherwise (an installed package under /usr/lib) in the user's configuration
// folder, $XDG_CONFIG_HOME/zeltaro/ or ~/.config/zeltaro/, under the same file name.

#include <string>

namespace zeltaro::app {

// exePath: the running file's path. xdgConfigHome and home: the environment's values (null or
// empty when unset; a relative XDG_CONFIG_HOME is ignored, as the XDG rules say).
std::string settingsLocation(const std::string& exePath, bool exeFolderWritable,
                             const char* xdgConfigHome, const char* home);

// The same for this process: asks the file system and the environment, and makes the
// configuration folder when it is the one chosen.
std::string settingsLocationForThisRun(const std::string& exePath);

}  // namespace zeltaro::app
