#pragma once
// A process-wide "stop now" flag. SIGTERM and SIGINT set it from their handler; every wait on
// a peer (a page fetch, the mail exchange) looks at it between short slices and gives up, so
// that the program can close promptly even while a server holds it.

namespace zeltaro::platform {

// Async-signal-safe.
void requestStop() noexcept;
bool stopRequested() noexcept;
// Clears the flag (for tests that run several stops in one process).
void clearStopRequest() noexcept;

}  // namespace zeltaro::platform
