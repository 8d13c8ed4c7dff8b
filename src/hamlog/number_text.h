// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Numbers read from texts the way the first-QSO check reads them.

#include <cstdint>
#include <string_view>

namespace zeltaro::hamlog {

// The decimal number at the start of s (leading blanks, a sign, digits, a point, an exponent);
// 0 when s does not start with one. Independent of the locale.
double readLeadingDecimal(std::string_view s);

// A base-10 integer: leading blanks and a sign allowed, reading stops at the first non-digit,
// 0 when there is no digit, clamped to the signed 32-bit range.
std::int32_t readClampedInt(std::string_view s);

}  // namespace zeltaro::hamlog
