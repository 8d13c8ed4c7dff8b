// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The one source of "now", so that date and time rules can be tested.

#include <ctime>

namespace zeltaro::platform {

struct LocalDateTime {
  int year = 0;  // four digits
  int month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

class Clock {
 public:
  virtual ~Clock() = default;
  virtual LocalDateTime now() const = 0;
};

// The machine's local time.
class SystemClock final : public Clock {
 public:
  LocalDateTime now() const override {
    const std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
  }
};

}  // namespace zeltaro::platform
