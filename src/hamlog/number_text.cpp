// SPDX-License-Identifier: GPL-3.0-or-later
#include "hamlog/number_text.h"

#include <charconv>
#include <cstddef>

namespace zeltaro::hamlog {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::size_t skipDigits(std::string_view s, std::size_t i) {
  while (i < s.size() && isDigit(s[i])) ++i;
  return i;
}

std::size_t skipBlanks(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
  return i;
}

}  // namespace

double readLeadingDecimal(std::string_view s) {
  const std::size_t start = skipBlanks(s);
  std::size_t i = start;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
  const std::size_t intEnd = skipDigits(s, i);
  std::size_t end = intEnd;
  bool digits = intEnd > i;
  if (end < s.size() && s[end] == '.') {
    const std::size_t fracEnd = skipDigits(s, end + 1);
    digits = digits || fracEnd > end + 1;
    end = fracEnd;
  }
  if (!digits) return 0;
  if (end < s.size() && (s[end] == 'e' || s[end] == 'E')) {
    std::size_t e = end + 1;
    if (e < s.size() && (s[e] == '+' || s[e] == '-')) ++e;
    if (const std::size_t expEnd = skipDigits(s, e); expEnd > e) end = expEnd;
  }
  // from_chars takes no "+".
  std::size_t from = start;
  if (s[from] == '+') ++from;
  double value = 0;
  const auto result = std::from_chars(s.data() + from, s.data() + end, value);
  if (result.ec == std::errc::result_out_of_range) return 0;
  return value;
}

std::int32_t readClampedInt(std::string_view s) {
  std::size_t i = skipBlanks(s);
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  std::int64_t value = 0;
  for (; i < s.size() && isDigit(s[i]); ++i) {
    value = value * 10 + (s[i] - '0');
    if (value > INT32_MAX + std::int64_t{1}) value = INT32_MAX + std::int64_t{1};
  }
  if (negative) value = -value;
  if (value > INT32_MAX) return INT32_MAX;
  if (value < INT32_MIN) return INT32_MIN;
  return static_cast<std::int32_t>(value);
}

}  // namespace zeltaro::hamlog
