// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/pane.h"

#include <algorithm>

#include "text/sjis.h"

namespace zeltaro::views {

std::string paneText(const Pane& pane) { return text::joinLines(pane.lines); }

std::string selectedText(const Pane& pane) {
  const std::string all = paneText(pane);
  const auto start = static_cast<std::size_t>(std::clamp(pane.selStart, 0, int(all.size())));
  const auto length = static_cast<std::size_t>(std::max(pane.selLength, 0));
  return all.substr(start, length);
}

void selectAll(Pane& pane) {
  pane.selStart = 0;
  pane.selLength = static_cast<int>(paneText(pane).size());
}

std::optional<std::size_t> caretLine(const Pane& pane) {
  const auto caret = static_cast<std::size_t>(std::max(pane.selStart, 0));
  std::size_t lineStart = 0;
  for (std::size_t i = 0; i < pane.lines.size(); ++i) {
    const std::size_t next = lineStart + pane.lines[i].size() + 2;  // after its CR LF
    if (caret < next) return i;
    lineStart = next;
  }
  return std::nullopt;
}

}  // namespace zeltaro::views
