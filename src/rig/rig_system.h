// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The running program's rig control on Linux: the termios port, one UDP socket for the
// companion and a rigctld client behind one RigControl. The companion's window is reached
// through the platform bridge once it exists; until then focusing it does nothing.

#include <memory>

#include "rig/rig_control.h"

namespace zeltaro::rig {

class RigSystem {
 public:
  RigSystem(const settings::RigDirectSettings& rig, const settings::TarvopcSettings& companion,
            platform::MessageBox* messageBox, CompanionWindow* companionWindow = nullptr);
  ~RigSystem();
  RigSystem(const RigSystem&) = delete;
  RigSystem& operator=(const RigSystem&) = delete;

  RigControl& control() { return *control_; }

 private:
  struct Parts;
  std::unique_ptr<Parts> parts_;
  std::unique_ptr<RigControl> control_;
};

}  // namespace zeltaro::rig
