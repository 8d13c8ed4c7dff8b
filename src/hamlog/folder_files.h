// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Files of a HAMLOG folder. HAMLOG's installers spell its file names in different letter cases
// ("Hamlog.hdb", "HAMLOG.HDB"), and a folder copied from Windows may keep Shift-JIS names, so
// names are matched without regard to the case of half-width letters, in UTF-8 or in CP932.

#include <string>
#include <string_view>

namespace zeltaro::hamlog {

// The path of the regular file in folderFs (a file-system path) whose name equals
// nameCp932 when half-width letters are folded; an exact match wins over a folded one, and
// among folded matches the first in byte order. Empty when there is none or the folder
// cannot be read.
std::string findFileNoCase(const std::string& folderFs, std::string_view nameCp932);

// A CP932 folder text as the file system spells it: its UTF-8 form, the bytes themselves when
// they are not valid CP932. Empty stays empty (the current folder).
std::string folderForFs(std::string_view folderCp932);
// The other way: a file-system path as the settings hold a folder, its CP932 form, or its own
// bytes when CP932 cannot hold it. folderFromFs(folderForFs(f)) gives f back.
std::string folderFromFs(std::string_view fsPath);

}  // namespace zeltaro::hamlog
