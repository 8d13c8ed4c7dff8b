// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/socket_state.h"

#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace zeltaro::platform {

bool peerHasLeft(std::intptr_t descriptor) {
  if (descriptor < 0) return true;
  pollfd p{static_cast<int>(descriptor), POLLRDHUP, 0};
  if (poll(&p, 1, 0) < 0) return false;
  return (p.revents & (POLLRDHUP | POLLHUP | POLLERR)) != 0;
}

ResetWatch::ResetWatch(std::intptr_t descriptor) {
  if (descriptor >= 0) fd_ = fcntl(static_cast<int>(descriptor), F_DUPFD_CLOEXEC, 0);
}

ResetWatch::~ResetWatch() { release(); }

void ResetWatch::release() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

bool ResetWatch::wasReset() const {
  if (fd_ < 0) return false;
  tcp_info info{};
  socklen_t size = sizeof info;
  if (getsockopt(fd_, IPPROTO_TCP, TCP_INFO, &info, &size) != 0) return false;
  // An orderly close by the peer leaves our side in CLOSE_WAIT; a reset goes straight to CLOSE.
  return info.tcpi_state == TCP_CLOSE;
}

}  // namespace zeltaro::platform
