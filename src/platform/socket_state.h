// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the kernel knows about a connected TCP socket that the event loop has not read yet or
// no longer tells.

#include <cstdint>

namespace zeltaro::platform {

// The peer has closed its end or the connection is broken (its departure may still be waiting
// in the event queue).
bool peerHasLeft(std::intptr_t descriptor);

// Keeps a second descriptor of a socket so that, after the socket layer has closed its own on
// the peer's departure, it can still be told whether the peer closed in order or reset the
// connection (the socket layer reports both alike). The socket is only really closed when this
// descriptor is released too: release it when the departure has been handled.
class ResetWatch {
 public:
  explicit ResetWatch(std::intptr_t descriptor);
  ~ResetWatch();
  ResetWatch(const ResetWatch&) = delete;
  ResetWatch& operator=(const ResetWatch&) = delete;

  bool wasReset() const;
  void release();

 private:
  int fd_ = -1;
};

}  // namespace zeltaro::platform
