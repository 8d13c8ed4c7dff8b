// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "Let queued window messages run": long work on the user-interface thread calls pump() often
// so that timer ticks, clicks and console input are handled meanwhile.

namespace zeltaro::platform {

class MessagePump {
 public:
  virtual ~MessagePump() = default;
  virtual void pump() = 0;
};

// For work that must not let anything else run (and for tests that do not care).
class NullMessagePump final : public MessagePump {
 public:
  void pump() override {}
};

}  // namespace zeltaro::platform
