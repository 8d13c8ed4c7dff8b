// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Column alignment of the notification log for the aligned panes. Widths count bytes of the
// Shift-JIS text, so a double-byte character takes two columns, as it does on screen in a
// fixed-pitch font.

#include <string>
#include <vector>

namespace zeltaro::views {

// Bounds of one rebuild: lines taken from the log, cells kept per line.
inline constexpr std::size_t kAlignedLines = 220;
inline constexpr std::size_t kCellsPerLine = 100;

// The cells of one log line: every "\r\n" marker as a space, runs of spaces squeezed, cut at
// the spaces.
std::vector<std::string> logCells(std::string_view line);

// The first min(220, lines) log lines with their first `columns` cells padded to the widest
// cell of their column plus one space; later cells follow with one space each.
std::vector<std::string> alignLog(const std::vector<std::string>& lines, int columns);

}  // namespace zeltaro::views
