// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The desktop's clipboard.

#include "platform/clipboard.h"

namespace zeltaro::platform {

class QtClipboard final : public Clipboard {
 public:
  void copy(std::string_view text) override;
};

}  // namespace zeltaro::platform
