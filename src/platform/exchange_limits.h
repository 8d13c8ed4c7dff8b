// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The total time an exchange with a peer may take, whatever the peer sends. Each has a default
// that an environment variable (milliseconds, for tests and for stations with unusual servers)
// can replace.

#include <chrono>

namespace zeltaro::platform {

// A page fetch, redirects included: ZELTARO_HTTP_TOTAL_MS, 60 s by default.
std::chrono::milliseconds httpTotalTimeout();
// One mail, from connecting to QUIT: ZELTARO_SMTP_TOTAL_MS, 60 s by default.
std::chrono::milliseconds smtpTotalTimeout();
// A console client that has not given the password: ZELTARO_CONSOLE_GRACE_MS, 120 s by default.
std::chrono::milliseconds consoleGraceTime();

// The value of the variable name when it is a positive whole number of milliseconds, else
// fallback.
std::chrono::milliseconds durationFromEnvironment(const char* name,
                                                  std::chrono::milliseconds fallback);

}  // namespace zeltaro::platform
