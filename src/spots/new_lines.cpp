#include "spots/new_lines.h"

#include <iterator>

namespace zeltaro::spots {

constexpr std::size_t kMarkSize = 4;

std::string logSafe(std::string_view display) {
  std::string out;
  out.reserve(display.size());
  for (char c : display) {
    if (c == '\0') continue;
    out += (c == '\r' || c == '\n') ? ' ' : c;
  }
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
