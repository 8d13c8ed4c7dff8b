#pragma once
// Between the Unix paths of the Linux side and the Windows paths of this side, with Wine's own
// conversion (kernel32's wine_get_unix_file_name and wine_get_dos_file_name).

#include <string>
#include <string_view>

namespace zeltaro::bridge {

// A Windows path (ANSI code page) as a Unix path; unchanged when Wine cannot convert it.
std::string toUnixPath(const std::string& windowsPath);
// A Unix path as a Windows path (ANSI code page); unchanged when it holds no "/" or Wine cannot
// convert it.
std::string toWindowsPath(std::string_view unixPath);

}  // namespace zeltaro::bridge
