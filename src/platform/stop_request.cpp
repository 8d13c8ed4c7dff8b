#include "platform/stop_request.h"

#include <atomic>

namespace zeltaro::platform {
namespace {

std::atomic<bool> stopFlag{false};
static_assert(std::atomic<bool>::is_always_lock_free, "the flag is set from a signal handler");

}  // namespace

void requestStop() noexcept { stopFlag.store(true, std::memory_order_relaxed); }
bool stopRequested() noexcept { return stopFlag.load(std::memory_order_relaxed); }
void clearStopRequest() noexcept { stopFlag.store(false, std::memory_order_relaxed); }

}  // namespace zeltaro::platform
