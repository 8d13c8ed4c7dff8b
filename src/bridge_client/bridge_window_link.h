// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The window operations over the Windows bridge.

#include "bridge_client/bridge_process.h"
#include "hamlog/window_link.h"

namespace zeltaro::bridgeclient {

class BridgeWindowLink final : public hamlog::WindowLink {
 public:
  explicit BridgeWindowLink(BridgeProcess& bridge) : bridge_(bridge) {}

  std::vector<hamlog::HamlogWindow> hamlogWindows() override;
  hamlog::WindowHandle sendField(hamlog::WindowHandle window, std::uint32_t dataWord,
                                 std::string_view text) override;
  bool pressKey(hamlog::WindowHandle window, std::uint32_t virtualKey,
                hamlog::KeyModifiers held) override;
  bool foreground(hamlog::WindowHandle window) override;
  std::optional<hamlog::WindowRect> normalRect(hamlog::WindowHandle window) override;
  bool movePointer(std::int32_t x, std::int32_t y) override;
  hamlog::WindowHandle findCompanion() override;

  // Where the pointer is, and which window has the foreground, as the Windows side sees them.
  std::optional<std::pair<std::int32_t, std::int32_t>> pointer();
  hamlog::WindowHandle foregroundWindow();

 private:
  BridgeProcess& bridge_;
};

}  // namespace zeltaro::bridgeclient
