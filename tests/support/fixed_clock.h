// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A clock that says what the test set, so that date and time rules are checked at chosen
// moments.

#include "platform/clock.h"

namespace zeltaro::platform {

class FixedClock final : public Clock {
 public:
  explicit FixedClock(LocalDateTime t) : t_(t) {}
  LocalDateTime now() const override { return t_; }
  void set(LocalDateTime t) { t_ = t; }

 private:
  LocalDateTime t_;
};

}  // namespace zeltaro::platform
