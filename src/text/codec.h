// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Conversion between the program's Shift-JIS (CP932) bytes and UTF-8, for the GUI boundary and
// for Japanese literals in the source, which are written in UTF-8.

#include <string>
#include <string_view>

namespace zeltaro::text {

// CP932 bytes to UTF-8. A byte sequence that has no Unicode counterpart becomes U+FFFD.
std::string utf8FromCp932(std::string_view cp932);
// UTF-8 to CP932 bytes. A character that CP932 cannot hold becomes "?".
std::string cp932FromUtf8(std::string_view utf8);

// A UTF-8 literal as CP932 bytes: sj("表示") is the Shift-JIS text.
inline std::string sj(std::string_view utf8) { return cp932FromUtf8(utf8); }

}  // namespace zeltaro::text
