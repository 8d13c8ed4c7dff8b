// SPDX-License-Identifier: GPL-3.0-or-later
#include "rig/rig_link.h"

#include <cstdio>
#include <thread>

#include "platform/message_box.h"
#include "rig/rig_maker.h"
#include "rig/tune_commands.h"

namespace zeltaro::rig {

Waiter sleepingWaiter() {
  return [](int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); };
}

std::string rigDeviceName(const settings::RigDirectSettings& rig) {
  if (!rig.Device.empty()) return rig.Device;
  return "/dev/ttyS" + std::to_string(settings::usedCom(rig));
}

LineSettings rigLineSettings(const settings::RigDirectSettings& rig) {
  const auto& speeds = settings::kRigSpeeds;
  LineSettings line;
  line.baud = rig.Bps >= 0 && rig.Bps < static_cast<int>(speeds.size())
                  ? speeds[static_cast<std::size_t>(rig.Bps)]
                  : speeds[static_cast<std::size_t>(settings::RigDirectSettings{}.Bps)];
  line.stopBits = rig.Maker == static_cast<int>(Maker::Icom) ? 1 : 2;
  return line;
}

RigLink::RigLink(SerialDevice& device, platform::MessageBox* messageBox, Waiter wait)
    : device_(device), box_(messageBox), wait_(wait ? std::move(wait) : sleepingWaiter()) {}

int RigLink::OpenRigPort(const settings::RigDirectSettings& rig) {
  if (device_.isOpen()) return 0;
  lost_ = false;
  const std::string name = rigDeviceName(rig);
  const OpenResult r = device_.open(name, rigLineSettings(rig));
  if (r == OpenResult::Ok) {
    openedWith_ = rig;
    return 0;
  }
  const char* step = r == OpenResult::OpenFailed   ? "open"
                     : r == OpenResult::Set1Failed ? "set 1"
                     : r == OpenResult::Set2Failed ? "set 2"
                     : r == OpenResult::Set4Failed ? "set 4"
                                                   : "set 5";
  if (box_)
    box_->show(platform::MessageBox::Kind::Error, "Zeltaro", name + " " + step + " error        ");
  return 1;
}

void RigLink::CloseRigPort() {
  device_.close();
  lost_ = false;
}

int RigLink::WriteRigBytes(std::string_view bytes) {
  if (!device_.isOpen()) return 1;
  device_.discardInput();
  wait_(10);
  for (const char c : bytes) {
    const WriteResult r = device_.writeByte(static_cast<unsigned char>(c), kWriteLimit);
    if (r == WriteResult::Ok) continue;
    if (r == WriteResult::Gone) {
      device_.close();
      lost_ = true;
      if (!lostReported_) {
        std::fprintf(
            stderr, "zeltaro: the rig port %s went away; it is opened again at the next transfer\n",
            rigDeviceName(openedWith_).c_str());
        lostReported_ = true;
      }
    }
    break;
  }
  return 0;
}

int RigLink::WriteRigHexText(std::string_view hex) { return WriteRigBytes(bytesFromHexPairs(hex)); }

bool RigLink::reopenLost() {
  if (device_.isOpen()) return true;
  if (!lost_) return false;
  if (device_.open(rigDeviceName(openedWith_), rigLineSettings(openedWith_)) != OpenResult::Ok)
    return false;
  lost_ = false;
  lostReported_ = false;
  return true;
}

}  // namespace zeltaro::rig
