// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The system clipboard. Texts are CP932 bytes.

#include <string>
#include <string_view>

namespace zeltaro::platform {

class Clipboard {
 public:
  virtual ~Clipboard() = default;
  virtual void copy(std::string_view text) = 0;
};

}  // namespace zeltaro::platform
