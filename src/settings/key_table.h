// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// HAMLOG's rig-frequency key: the names the settings dialog offers and the file stores under
// KEY_DATA, with the virtual key code each one posts.

#include <array>
#include <cstdint>
#include <string_view>

namespace zeltaro::settings {

struct KeyName {
  std::string_view name;
  std::uint8_t code;  // virtual key code
};

inline constexpr std::size_t kKeyNameCount = 67;

// The names in the order the dialog lists them; entry 0 ("HOME") is the default key.
const std::array<KeyName, kKeyNameCount>& keyNameTable();

// Index of the first entry whose name equals name (case-sensitive), or -1.
int findKeyName(std::string_view name);

}  // namespace zeltaro::settings
