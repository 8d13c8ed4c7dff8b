// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the transfer needs from the rest of the program besides HAMLOG's windows: our own
// windows, and the rig with the companion program.

#include <string_view>

namespace zeltaro::transfer {

class OwnWindows {
 public:
  virtual ~OwnWindows() = default;
  // Brings the program window that was activated last to the foreground.
  virtual void raiseLastActive() = 0;
  // Whether any transfer patrol list window is visible.
  virtual bool patrolWindowVisible() const = 0;
};

class RigSide {
 public:
  virtual ~RigSide() = default;
  // Tunes the rig directly to a frequency (MHz text) and a mode (the spot's text).
  virtual void tune(std::string_view frequencyText, std::string_view modeText) = 0;
  // One command text to the companion program.
  virtual void sendToCompanion(std::string_view text) = 0;
  // The companion's window to the front (or our last active window without focusSel), unless a
  // patrol list window is visible.
  virtual void focusCompanionWindow(bool focusSel, bool mouseSel, bool patrolWindowVisible) = 0;
};

}  // namespace zeltaro::transfer
