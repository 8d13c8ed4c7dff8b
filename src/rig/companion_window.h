// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The companion program's main window, where the platform can reach it (the companion is a
// Windows program; on Linux it runs under Wine and is reached through the bridge).

namespace zeltaro::rig {

class CompanionWindow {
 public:
  virtual ~CompanionWindow() = default;
  // Looks for the companion's main window among the top-level windows: the first whose title
  // isCompanionTitle() accepts. False when there is none.
  virtual bool find() = 0;
  // Brings the window found to the foreground; with movePointer the mouse pointer goes to its
  // normal rectangle's left edge + 60, top edge + 180.
  virtual void activate(bool movePointer) = 0;
  // Brings the window that was active before this program's to the foreground.
  virtual void activateLastActive() = 0;
};

}  // namespace zeltaro::rig
