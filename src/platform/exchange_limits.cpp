// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/exchange_limits.h"

#include <charconv>
#include <cstdlib>
#include <string_view>

namespace zeltaro::platform {

std::chrono::milliseconds durationFromEnvironment(const char* name,
                                                  std::chrono::milliseconds fallback) {
  const char* text = std::getenv(name);
  if (text == nullptr) return fallback;
  const std::string_view s(text);
  long long ms = 0;
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), ms);
  if (ec != std::errc() || end != s.data() + s.size() || ms <= 0) return fallback;
  return std::chrono::milliseconds(ms);
}

std::chrono::milliseconds httpTotalTimeout() {
  return durationFromEnvironment("ZELTARO_HTTP_TOTAL_MS", std::chrono::seconds(60));
}

std::chrono::milliseconds smtpTotalTimeout() {
  return durationFromEnvironment("ZELTARO_SMTP_TOTAL_MS", std::chrono::seconds(60));
}

std::chrono::milliseconds consoleGraceTime() {
  return durationFromEnvironment("ZELTARO_CONSOLE_GRACE_MS", std::chrono::seconds(120));
}

}  // namespace zeltaro::platform
