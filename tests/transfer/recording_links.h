// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Recorders of what a transfer does outside: HAMLOG's windows, our own windows, the rig and the
// companion. Every call lands in one event list, in order, with texts shown as UTF-8.

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "hamlog/window_link.h"
#include "text/codec.h"
#include "transfer/transfer_links.h"

namespace zeltaro::transfer::testing {

using Events = std::vector<std::string>;

inline std::string hex(std::uint32_t v) {
  char b[16];
  std::snprintf(b, sizeof b, "%X", v);
  return b;
}

// HAMLOG windows 101, 102, 103 in the folders of lists 1, 2, 3; window 10n answers a field
// message with its input window 20n (or 0 when answerZero).
class RecordingWindowLink final : public hamlog::WindowLink {
 public:
  explicit RecordingWindowLink(Events& events) : events_(events) {}

  std::vector<hamlog::HamlogWindow> windows{
      {101, "/hamlog/one/"}, {102, "/hamlog/two/"}, {103, "/hamlog/three/"}};
  bool answerZero = false;
  hamlog::WindowRect rect{10, 20, 111, 221};
  // Run once, after the next field message is recorded: what the window's turn does while
  // HAMLOG takes it.
  std::function<void()> duringField;

  std::vector<hamlog::HamlogWindow> hamlogWindows() override {
    events_.push_back("windows");
    return windows;
  }
  hamlog::WindowHandle sendField(hamlog::WindowHandle window, std::uint32_t dataWord,
                                 std::string_view text) override {
    events_.push_back("field " + std::to_string(window - 100) + " " + hex(dataWord) + " " +
                      std::to_string(text.size()) + " " + text::utf8FromCp932(text));
    if (auto during = std::move(duringField)) {
      duringField = nullptr;
      during();
    }
    return answerZero ? 0 : window + 100;
  }
  bool pressKey(hamlog::WindowHandle window, std::uint32_t virtualKey,
                hamlog::KeyModifiers held) override {
    events_.push_back("key " + std::to_string(window) + " " + hex(virtualKey) + " " +
                      (held.ctrl ? "C" : "-") + (held.shift ? "S" : "-") + (held.alt ? "A" : "-"));
    return true;
  }
  bool foreground(hamlog::WindowHandle window) override {
    events_.push_back("foreground " + std::to_string(window));
    return true;
  }
  std::optional<hamlog::WindowRect> normalRect(hamlog::WindowHandle) override { return rect; }
  bool movePointer(std::int32_t x, std::int32_t y) override {
    events_.push_back("pointer " + std::to_string(x) + "," + std::to_string(y));
    return true;
  }
  hamlog::WindowHandle findCompanion() override { return 0; }

 private:
  Events& events_;
};

class RecordingOwnWindows final : public OwnWindows {
 public:
  explicit RecordingOwnWindows(Events& events) : events_(events) {}
  bool patrolVisible = false;
  void raiseLastActive() override { events_.push_back("last active"); }
  bool patrolWindowVisible() const override { return patrolVisible; }

 private:
  Events& events_;
};

class RecordingRigSide final : public RigSide {
 public:
  explicit RecordingRigSide(Events& events) : events_(events) {}
  void tune(std::string_view frequencyText, std::string_view modeText) override {
    events_.push_back("tune " + std::string(frequencyText) + " " + std::string(modeText));
  }
  void sendToCompanion(std::string_view text) override {
    events_.push_back("udp " + text::utf8FromCp932(text));
  }
  void focusCompanionWindow(bool focusSel, bool mouseSel, bool patrolWindowVisible) override {
    events_.push_back(std::string("companion focus") + (focusSel ? "+" : "-") + " mouse" +
                      (mouseSel ? "+" : "-") + " patrol" + (patrolWindowVisible ? "+" : "-"));
  }

 private:
  Events& events_;
};

}  // namespace zeltaro::transfer::testing
