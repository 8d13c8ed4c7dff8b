// SPDX-License-Identifier: GPL-3.0-or-later
#include "spots/new_lines.h"

#include <iterator>

#include "text/sjis.h"

namespace zeltaro::spots {

constexpr std::size_t kMarkSize = 4;

std::string logSafe(std::string_view display) {
  std::string out;
  out.reserve(display.size() + 1);
  bool lastIsBackslash = false;  // a single-byte one, not the trail byte of "ソ" or "表"
  bool trailNext = false;
  for (char c : display) {
    if (c == '\0') continue;
    if (c == '\r' || c == '\n') c = ' ';
    out += c;
    lastIsBackslash = !trailNext && c == '\\';
    trailNext = !trailNext && text::isLeadByte(static_cast<unsigned char>(c));
  }
  // The saved log joins its lines with line breaks, and a backslash right before one would be
  // read back as the text "\r" or "\n": such a line keeps a blank at its end.
  if (lastIsBackslash) out += ' ';
  return out;
}

NewLines::NewLines(const std::vector<std::string>& log) {
  seen_.reserve(log.size());
  for (const std::string& line : log)
    if (line.size() >= kMarkSize) seen_.emplace(line, kMarkSize);
}

void NewLines::add(std::string_view mark, const std::string& display) {
  seen_.insert(display);
  std::string line;
  line.reserve(mark.size() + display.size());
  line += mark;
  line += display;
  lines_.push_back(std::move(line));
}

void NewLines::moveInFrontOf(std::vector<std::string>& log) {
  if (lines_.empty()) return;
  lines_.insert(lines_.end(), std::make_move_iterator(log.begin()),
                std::make_move_iterator(log.end()));
  log = std::move(lines_);
  lines_.clear();
}

}  // namespace zeltaro::spots
