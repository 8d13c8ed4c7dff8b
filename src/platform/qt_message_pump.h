// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QElapsedTimer>

#include "platform/message_pump.h"

namespace zeltaro::platform {

// Runs QCoreApplication::processEvents() at most once every few milliseconds, so that a long
// page does not spend most of its time in the event loop while the window stays responsive.
// The core calls pump() very often (once per template tag, list line and log line), so even
// the clock is read only on every 16th call. A caller that itself calls only every few
// milliseconds (a wait cut into slices) asks for the clock at every call.
class QtMessagePump final : public MessagePump {
 public:
  explicit QtMessagePump(int minIntervalMs = 5, unsigned callsPerLook = 16);
  void pump() override;
  std::optional<unsigned long long> turns() const override { return turns_; }

 private:
  QElapsedTimer since_;
  int minIntervalMs_;
  unsigned callsPerLook_;
  unsigned calls_ = 0;
  unsigned long long turns_ = 0;
};

}  // namespace zeltaro::platform
