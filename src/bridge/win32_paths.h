// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Between the Unix paths of the Linux side (UTF-8, as the frames carry them) and the Windows
// paths of this side, with Wine's own conversion (kernel32's wine_get_unix_file_name and
// wine_get_dos_file_name). Windows paths are wide, so no character depends on the prefix's ANSI
// code page; only a library that takes a narrow path gets one (ansiPath).

#include <string>
#include <string_view>

namespace zeltaro::bridge {

// A Windows path as a Unix path (UTF-8); the path itself in UTF-8 when Wine cannot convert it.
std::string toUnixPath(const std::wstring& windowsPath);
// A Unix path (UTF-8) as a Windows path; the text itself when it holds no "/" (a bare file name)
// or Wine cannot convert it.
std::wstring toWindowsPath(std::string_view unixPath);
// A Windows path for a library that takes its paths in the ANSI code page. Where that code page
// cannot spell a folder of it (a Japanese folder in a prefix run in another language), the
// folder's short name stands in for it; the last part is kept as given.
std::string ansiPath(const std::wstring& windowsPath);

}  // namespace zeltaro::bridge
