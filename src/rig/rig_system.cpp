// SPDX-License-Identifier: GPL-3.0-or-later
#include "rig/rig_system.h"

#include "rig/rigctld_client.h"
#include "rig/termios_serial_device.h"
#include "rig/udp_datagram_sender.h"

namespace zeltaro::rig {

struct RigSystem::Parts {
  TermiosSerialDevice serial;
  UdpDatagramSender udp;
  RigctldClient rigctld;
};

RigSystem::RigSystem(const settings::RigDirectSettings& rig,
                     const settings::TarvopcSettings& companion, platform::MessageBox* messageBox,
                     CompanionWindow* companionWindow)
    : parts_(std::make_unique<Parts>()) {
  RigServices s;
  s.serial = &parts_->serial;
  s.messageBox = messageBox;
  s.udp = &parts_->udp;
  s.rigctld = &parts_->rigctld;
  s.companionWindow = companionWindow;
  control_ = std::make_unique<RigControl>(rig, companion, std::move(s));
}

RigSystem::~RigSystem() = default;

}  // namespace zeltaro::rig
