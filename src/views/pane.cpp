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

}  // namespace zeltaro::views
