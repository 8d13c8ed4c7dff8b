// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <string>
#include <string_view>

namespace zeltaro::platform {

// Opens an address in the user's web browser.
class Browser {
 public:
  virtual ~Browser() = default;
  virtual void open(std::string_view address) = 0;
};

}  // namespace zeltaro::platform
