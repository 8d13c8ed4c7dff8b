// SPDX-License-Identifier: GPL-3.0-or-later
#include "watchlists/watch_list.h"

#include <algorithm>
#include <cstdio>

#include "text/sjis.h"

namespace zeltaro::watchlists {

bool listMatches(std::string_view listText, std::string_view searchText,
                 platform::MessagePump& pump) {
  const std::vector<std::string> lines = text::splitLines(listText);
  if (searchText.empty() || lines.empty()) return false;
  const std::string t = std::string(text::trim(text::foldAZ(searchText)));
  for (const std::string& raw : lines) {
    pump.pump();
    std::string rest = std::string(text::trim(raw));
    if (rest.empty()) continue;
    rest += ' ';
    bool all = true;
    while (!rest.empty()) {
      const std::size_t sp = rest.find(' ');  // a space byte is never a trail byte
      const std::string word = std::string(text::trim(text::foldAZ(rest.substr(0, sp))));
      if (text::find(t, word) == 0) {
        all = false;
        break;
      }
      std::size_t next = sp;
      while (next < rest.size() && rest[next] == ' ') ++next;
      rest.erase(0, next);
    }
    if (all) return true;
  }
  return false;
}

std::string counterText(std::string_view listText) {
  const std::vector<std::string> lines = text::splitLines(listText);
  const auto disabled = std::count_if(
      lines.begin(), lines.end(), [](const std::string& l) { return !l.empty() && l[0] == '*'; });
  const auto total = static_cast<long>(lines.size());
  char buf[64];
  std::snprintf(buf, sizeof buf, "%4ld(%ld/%ld)", total, total - static_cast<long>(disabled),
                static_cast<long>(disabled));
  return buf;
}

bool normalizeTabs(std::string& listText) {
  if (listText.find('\t') == std::string::npos) return false;
  std::replace(listText.begin(), listText.end(), '\t', ' ');
  return true;
}

}  // namespace zeltaro::watchlists
