// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The notification lines one page adds to the log. A display text is new when no log line
// carries it after its four-character mark and this page has not added it yet; the look-up is
// a hash set, and the new lines go in front of the log in one step, so a page costs time
// linear in its records and the log.

#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace zeltaro::spots {

// The bytes a log line may carry: the settings file keeps the log as one value, which can hold
// neither a NUL nor a line break inside a line. NUL is dropped, CR and LF become blanks, and a
// line ending in a (single-byte) backslash gets a blank after it, since the backslash would
// otherwise join the line break that follows it in the saved log.
std::string logSafe(std::string_view display);

class NewLines {
 public:
  explicit NewLines(const std::vector<std::string>& log);

  bool isOld(const std::string& display) const { return seen_.count(display) != 0; }
  // mark: the four-character mark ("12__"), display: the composed text.
  void add(std::string_view mark, const std::string& display);
  bool empty() const { return lines_.empty(); }
  std::size_t size() const { return lines_.size(); }
  // Puts the lines added so far, in their order, in front of log, and forgets them.
  void moveInFrontOf(std::vector<std::string>& log);

 private:
  std::unordered_set<std::string> seen_;
  std::vector<std::string> lines_;
};

}  // namespace zeltaro::spots
