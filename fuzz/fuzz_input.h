// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Splitting one fuzz input into parts: the parts are separated by a 0xFF 0x00 pair, which
// neither CP932 text nor the formats here need.

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace zeltaro::fuzz {

inline std::vector<std::string_view> splitInput(const std::uint8_t* data, std::size_t size,
                                                std::size_t parts) {
  std::string_view rest(reinterpret_cast<const char*>(data), size);
  std::vector<std::string_view> out;
  while (out.size() + 1 < parts) {
    const std::size_t at = rest.find(std::string_view("\xFF\0", 2));
    if (at == std::string_view::npos) break;
    out.push_back(rest.substr(0, at));
    rest.remove_prefix(at + 2);
  }
  out.push_back(rest);
  out.resize(parts);
  return out;
}

}  // namespace zeltaro::fuzz
