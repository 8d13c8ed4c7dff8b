// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Lines of the event log as a test compares them: the date and time after "zeltaro: " (or at
// the start of a kept line) become "<stamp>", everything else stays byte for byte.

#include <regex>
#include <string>

namespace zeltaro::testing {

inline std::string withStampsMarked(const std::string& text) {
  static const std::regex stamp("(^|zeltaro: )\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d ",
                                std::regex::multiline);
  return std::regex_replace(text, stamp, "$1<stamp> ");
}

}  // namespace zeltaro::testing
