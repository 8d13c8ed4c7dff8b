// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The user's web browser through the desktop's URL handler.

#include "platform/browser.h"

namespace zeltaro::platform {

class QtBrowser final : public Browser {
 public:
  void open(std::string_view address) override;
};

}  // namespace zeltaro::platform
