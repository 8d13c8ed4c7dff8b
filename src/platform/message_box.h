// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Message and error boxes. Texts are CP932 bytes, as everywhere in the core.

#include <string>
#include <string_view>

namespace zeltaro::platform {

class MessageBox {
 public:
  enum class Kind { Information, Warning, Error };
  virtual ~MessageBox() = default;
  virtual void show(Kind kind, std::string_view caption, std::string_view text) = 0;
};

}  // namespace zeltaro::platform
