// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a file dropped on the settings dialog leads to. On Linux the operator may drop HAMLOG's
// program itself, a symbolic link to it, a Windows shortcut (.lnk) from the Wine prefix or a
// desktop entry that Wine made for it; each names the program, whose folder is the HAMLOG
// folder. Paths here are file-system paths (UTF-8).

#include <string>
#include <string_view>

namespace zeltaro::settingsdialog {

// A Windows path ("C:\HAMLOG\Hamlogw.exe", ANSI code page) as the Unix path it names inside
// the Wine prefix: the drive's link under dosdevices/, or drive_c/ for C: and / for Z: when
// the prefix has no such link. The components are matched without regard to the case of
// half-width letters, as Windows does, where the exact spelling does not exist. Empty when
// the path has no drive letter.
std::string unixPathInPrefix(std::string_view windowsPath, const std::string& winePrefix);

// The program a desktop entry starts (Exec, with Wine's start.exe /Unix form followed through
// its shortcut), else its working folder (Path, with a trailing "/"). Empty when neither.
std::string desktopEntryTarget(std::string_view entry, const std::string& winePrefix);

// The folder, ending with "/", that a dropped file leads to: a shortcut's or a desktop entry's
// target, a symbolic link's final target, a folder itself, else the file's own folder. A
// shortcut that cannot be resolved leads to "" (no folder).
std::string folderOfDroppedFile(const std::string& path, const std::string& winePrefix);

}  // namespace zeltaro::settingsdialog
