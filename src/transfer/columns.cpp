// SPDX-License-Identifier: GPL-3.0-or-later
#include "transfer/columns.h"

#include "text/sjis.h"

namespace zeltaro::transfer {

Columns::Columns(std::string_view line) : line_(line) {
  if (line_.empty()) return;
  starts_.push_back(0);
  std::size_t pos = 0;
  while (starts_.size() < kMaxColumns) {
    const std::size_t space = line_.find(' ', pos);
    if (space == std::string::npos) break;
    const std::size_t next = line_.find_first_not_of(' ', space);
    // Spaces at the very end open no column (the line is trimmed, but stay safe).
    if (next == std::string::npos) break;
    starts_.push_back(next);
    pos = next;
  }
}

std::size_t Columns::end(std::size_t n) const {
  return n < starts_.size() ? starts_[n] - 1 : line_.size();
}

std::string Columns::trimmed(std::size_t n) const { return std::string(text::trim(raw(n))); }

std::size_t Columns::columnAt(std::size_t pos) const {
  std::size_t n = 0;
  while (n < starts_.size() && starts_[n] <= pos) ++n;
  return n;
}

int columnNumber(std::string_view setting) {
  int value = 0;
  for (const char c : setting) {
    if (c < '0' || c > '9') break;
    value = value * 10 + (c - '0');
    if (value > 1000) break;  // far beyond any column
  }
  return value;
}

std::optional<std::size_t> Columns::valid(std::string_view setting, int lowest) const {
  const int n = columnNumber(setting);
  if (n < lowest || n > 20 || static_cast<std::size_t>(n) > count()) return std::nullopt;
  return static_cast<std::size_t>(n);
}

}  // namespace zeltaro::transfer
