// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Everything the main window asks of rig control, in one place: the serial rig port over its
// lifetime, tuning the rig to a transferred spot (serial families, the companion route for
// ICOM, or a shared rig through rigctld) and the companion program's datagrams and window.
// Settings are read live from the structs the caller owns.

#include <string_view>

#include "rig/companion_texts.h"
#include "rig/rig_link.h"
#include "settings/station_settings.h"

namespace zeltaro::platform {
class MessageBox;
}

namespace zeltaro::rig {

class CompanionWindow;
class DatagramSender;
class RigctldClient;
class SerialDevice;

struct RigServices {
  SerialDevice* serial = nullptr;  // required
  platform::MessageBox* messageBox = nullptr;
  DatagramSender* udp = nullptr;
  RigctldClient* rigctld = nullptr;
  CompanionWindow* companionWindow = nullptr;
  Waiter wait;  // empty: really sleep
};

class RigControl {
 public:
  RigControl(const settings::RigDirectSettings& rig, const settings::TarvopcSettings& companion,
             RigServices services);

  // The first timer tick after start-up: opens the rig port when direct control is on and the
  // companion route off.
  void openAtStart();
  // Program end.
  void close();
  // The settings dialog closed; before holds the rig settings from when it opened. The port
  // is closed when direct control was off, the companion route is now on, or Use, Maker, Com,
  // Bps or Device changed; then opened when closed, Use is on and the companion route off.
  void settingsDialogClosed(const settings::RigDirectSettings& before);

  // Tunes the rig to frequency (MHz text) and mode (the spot's mode text). Blocks for the
  // rig's fixed pauses (10 or 30 ms a command) or, with rigctld, at most its bounded waits.
  void tune(std::string_view frequencyText, std::string_view modeText);

  // One command text to the companion: text + NUL when IP is set, PORT reads as a port and the
  // text is shorter than 255 bytes.
  void sendToCompanion(std::string_view text);
  void forwardSpotToCompanion(const SpotForCompanion& spot, const MichiNoEkiLookup& lookup);
  // With no patrol list window visible: focusSel brings the companion's window to the front
  // (mouseSel moves the pointer onto it), otherwise the window active before this program's.
  void focusCompanionWindow(bool focusSel, bool mouseSel, bool patrolWindowVisible);

  RigLink& link() { return link_; }

 private:
  void tuneThroughRigctld(std::string_view frequencyText, std::string_view modeText);

  const settings::RigDirectSettings& rig_;
  const settings::TarvopcSettings& companion_;
  RigServices services_;
  RigLink link_;
  bool rigctldFailing_ = false;
};

}  // namespace zeltaro::rig
