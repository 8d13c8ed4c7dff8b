// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A loopback port on which nothing listens, for as long as the object lives: a socket bound to
// it but not listening keeps other processes off it, and a connection to it is refused. (A port
// bound, released and then used could be taken by another process in between.)

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>

namespace zeltaro::testing {

class ClosedPort {
 public:
  ClosedPort() : fd_(::socket(AF_INET, SOCK_STREAM, 0)) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    if (fd_ >= 0 && ::bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &len) == 0)
      port_ = ntohs(a.sin_port);
  }
  ~ClosedPort() {
    if (fd_ >= 0) ::close(fd_);
  }
  ClosedPort(const ClosedPort&) = delete;
  ClosedPort& operator=(const ClosedPort&) = delete;

  // 0 when no port could be bound.
  std::uint16_t port() const { return port_; }

 private:
  int fd_;
  std::uint16_t port_ = 0;
};

}  // namespace zeltaro::testing
