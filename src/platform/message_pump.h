// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "Let queued window messages run": long work on the user-interface thread calls pump() often
// so that timer ticks, clicks and console input are handled meanwhile.

#include <optional>

namespace zeltaro::platform {

class MessagePump {
 public:
  virtual ~MessagePump() = default;
  virtual void pump() = 0;
  // pump() as many times over, for work that would ask at each of a row of small steps.
  virtual void pumpTimes(int times) {
    for (int i = 0; i < times; ++i) pump();
  }
  // How many times pump() let queued messages run so far, so that work can tell whether
  // anything else ran since it last looked; nothing when the pump does not count them.
  virtual std::optional<unsigned long long> turns() const { return std::nullopt; }
};

// For work that must not let anything else run (and for tests that do not care).
class NullMessagePump final : public MessagePump {
 public:
  void pump() override {}
  void pumpTimes(int) override {}
  std::optional<unsigned long long> turns() const override { return 0; }
};

}  // namespace zeltaro::platform
