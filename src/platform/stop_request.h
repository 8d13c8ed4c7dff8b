// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A process-wide "stop now" flag. SIGTERM and SIGINT set it from their handler; every wait on
// a peer (a page fetch, the mail exchange) and the processing of a page look at it between
// short slices and give up, so that the program can close promptly even while a server holds
// it.

#include <atomic>

namespace zeltaro::platform {

inline std::atomic<bool> stopFlag{false};
static_assert(std::atomic<bool>::is_always_lock_free, "the flag is set from a signal handler");

// Async-signal-safe.
inline void requestStop() noexcept { stopFlag.store(true, std::memory_order_relaxed); }
inline bool stopRequested() noexcept { return stopFlag.load(std::memory_order_relaxed); }
// Clears the flag (for tests that run several stops in one process).
inline void clearStopRequest() noexcept { stopFlag.store(false, std::memory_order_relaxed); }

}  // namespace zeltaro::platform
