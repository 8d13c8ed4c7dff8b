// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The names HAMLOG's library exports. A library is usable only when every one of them resolves:
// the check calls seven, the others prove that the file is the library it claims to be.

#include <array>
#include <functional>
#include <string_view>

namespace zeltaro::hamlog {

// In the order in which they are looked up.
extern const std::array<std::string_view, 58> kEntryPointNames;

// Looks every name up with resolve (true when the library has it), in order, and stops at the
// first that is missing; true when all were found.
bool resolvesAllEntryPoints(const std::function<bool(std::string_view)>& resolve);

}  // namespace zeltaro::hamlog
