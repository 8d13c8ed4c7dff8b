// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/log_font.h"

#include <cstdlib>

namespace zeltaro::views {
namespace {

int leadingNumber(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size() && s[i] == ' ') ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '-' || s[i] == '+')) negative = s[i++] == '-';
  int value = 0;
  for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) value = value * 10 + (s[i] - '0');
  return negative ? -value : value;
}

std::string_view chars(std::string_view s, std::size_t from1, std::size_t count) {
  if (from1 - 1 >= s.size()) return {};
  return s.substr(from1 - 1, count);
}

}  // namespace

const std::vector<std::string>& fontItems() {
  static const std::vector<std::string> items = {"9    -12", "10   -13", "11   -15", "12   -16",
                                                 "14   -19", "16   -21", "18   -24", "20   -27",
                                                 "22   -29", "24   -32", "26   -35", "28   -37",
                                                 "36   -48", "48   -64", "72   -96"};
  return items;
}

PaneFont parseFontItem(std::string_view item) {
  return {leadingNumber(chars(item, 1, 2)), leadingNumber(chars(item, 6, 3))};
}

std::optional<PaneFont> fontOfItem(int index) {
  if (index < 0 || index >= static_cast<int>(fontItems().size())) return std::nullopt;
  return parseFontItem(fontItems()[static_cast<std::size_t>(index)]);
}

int rowHeight(const PaneFont& font) { return std::abs(font.height); }

}  // namespace zeltaro::views
