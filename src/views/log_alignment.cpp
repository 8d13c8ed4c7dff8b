// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/log_alignment.h"

#include <algorithm>

#include "text/sjis.h"

namespace zeltaro::views {

std::vector<std::string> logCells(std::string_view line) {
  std::string rest = text::replaceAll(line, "\\r\\n", " ");
  // Two squeezing passes, each over the text once: a run of up to four spaces ends as one.
  rest = text::replaceAll(rest, "  ", " ");
  rest = text::replaceAll(rest, "  ", " ");
  rest = std::string(text::trimSpaces(rest)) + " ";

  std::vector<std::string> cells;
  while (cells.size() < kCellsPerLine && rest != " ") {
    const std::size_t space = text::find(rest, " ");
    if (space == 0) break;
    cells.push_back(rest.substr(0, space - 1));
    rest.erase(0, space);
  }
  return cells;
}

std::vector<std::string> alignLog(const std::vector<std::string>& lines, int columns) {
  const std::size_t count = std::min(lines.size(), kAlignedLines);
  std::vector<std::vector<std::string>> cells(count);
  std::vector<std::size_t> width(kCellsPerLine, 0);
  for (std::size_t i = 0; i < count; ++i) {
    cells[i] = logCells(lines[i]);
    for (std::size_t c = 0; c < cells[i].size(); ++c)
      width[c] = std::max(width[c], cells[i][c].size());
  }

  std::vector<std::string> aligned;
  aligned.reserve(count);
  for (const std::vector<std::string>& row : cells) {
    std::string built;
    for (std::size_t c = 0; c < kCellsPerLine && width[c] > 0; ++c) {
      const std::string& cell = c < row.size() ? row[c] : std::string();
      built += cell;
      if (static_cast<int>(c) <= columns - 2)
        built.append(width[c] + 1 - cell.size(), ' ');
      else
        built += ' ';
    }
    aligned.push_back(std::move(built));
  }
  return aligned;
}

}  // namespace zeltaro::views
