// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The companion's main window through the window operations (the companion runs under Wine).

#include <functional>

#include "hamlog/window_link.h"
#include "rig/companion_window.h"

namespace zeltaro::bridgeclient {

class LinkCompanionWindow final : public rig::CompanionWindow {
 public:
  // activateLastActive runs the program's own "back to the window active before" step; null:
  // nothing to do.
  LinkCompanionWindow(hamlog::WindowLink& link, std::function<void()> activateLastActive = {})
      : link_(link), activateLastActive_(std::move(activateLastActive)) {}

  bool find() override {
    found_ = link_.findCompanion();
    return found_ != 0;
  }
  void activate(bool movePointer) override {
    if (found_ == 0) return;
    link_.foreground(found_);
    if (!movePointer) return;
    if (auto rect = link_.normalRect(found_)) link_.movePointer(rect->left + 60, rect->top + 180);
  }
  void activateLastActive() override {
    if (activateLastActive_) activateLastActive_();
  }

 private:
  hamlog::WindowLink& link_;
  std::function<void()> activateLastActive_;
  hamlog::WindowHandle found_ = 0;
};

}  // namespace zeltaro::bridgeclient
