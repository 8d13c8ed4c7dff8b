// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The serial rig link: the one rig port of the program, opened with the framing of the rig
// family, written byte by byte after a short pause. Setup failures show one box each; write
// failures are silent. A device that goes away while open (a USB adapter pulled, the radio
// switched off) closes the port, and the next transfer opens it again without a box.

#include <chrono>
#include <functional>
#include <string>
#include <string_view>

#include "rig/serial_device.h"
#include "settings/station_settings.h"

namespace zeltaro::platform {
class MessageBox;
}

namespace zeltaro::rig {

// Blocks the calling thread for ms milliseconds (the fixed pauses the rigs need).
using Waiter = std::function<void(int ms)>;
Waiter sleepingWaiter();

// The device the settings name: Device, or /dev/ttyS<Com> when it is empty.
std::string rigDeviceName(const settings::RigDirectSettings& rig);
// Speed by Bps (0 4800, 1 9600, 2 19200, 3 38400, else 9600); 1 stop bit for ICOM, else 2.
LineSettings rigLineSettings(const settings::RigDirectSettings& rig);

class RigLink {
 public:
  static constexpr std::chrono::milliseconds kWriteLimit{10000};

  RigLink(SerialDevice& device, platform::MessageBox* messageBox, Waiter wait);

  // 0 when open (or already open), 1 when it failed (after one box naming the device).
  int OpenRigPort(const settings::RigDirectSettings& rig);
  void CloseRigPort();
  // 1 when the port is closed, else 0: discards pending input, waits 10 ms, writes the bytes
  // one at a time and stops at the first that is not accepted.
  int WriteRigBytes(std::string_view bytes);
  // The same for a text of hexadecimal digit pairs.
  int WriteRigHexText(std::string_view hex);

  bool isOpen() const { return device_.isOpen(); }
  // True after the device went away under an open port, until it is opened again.
  bool lost() const { return lost_; }
  // Opens a lost port again, silently; true when it is open now.
  bool reopenLost();

 private:
  SerialDevice& device_;
  platform::MessageBox* box_;
  Waiter wait_;
  settings::RigDirectSettings openedWith_;
  bool lost_ = false;
  bool lostReported_ = false;
};

}  // namespace zeltaro::rig
