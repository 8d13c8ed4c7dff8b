// SPDX-License-Identifier: GPL-3.0-or-later
#include "rig/rigctld_client.h"

#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "rig/rigctld_protocol.h"
#include "text/errno_text.h"

namespace zeltaro::rig {

namespace {

using Clock = std::chrono::steady_clock;

int msLeft(Clock::time_point deadline) {
  const auto left =
      std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
  return left > 0 ? static_cast<int>(left) : 0;
}

}  // namespace

RigctldClient::~RigctldClient() { disconnect(); }

void RigctldClient::disconnect() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  buffer_.clear();
}

bool RigctldClient::connectTo(const std::string& host, std::uint16_t port) {
  disconnect();
  addrinfo hints{};
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  const std::string service = std::to_string(port);
  if (::getaddrinfo(host.c_str(), service.c_str(), &hints, &found) != 0 || !found) {
    why_ = "cannot resolve " + host;
    return false;
  }
  const auto deadline = Clock::now() + limits_.connect;
  why_ = "cannot connect";
  for (addrinfo* a = found; a && fd_ < 0; a = a->ai_next) {
    const int fd =
        ::socket(a->ai_family, a->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, a->ai_protocol);
    if (fd < 0) continue;
    int r = ::connect(fd, a->ai_addr, a->ai_addrlen);
    if (r != 0 && errno == EINPROGRESS) {
      pollfd p{fd, POLLOUT, 0};
      if (::poll(&p, 1, msLeft(deadline)) == 1) {
        int err = 0;
        socklen_t len = sizeof err;
        ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &err, &len);
        r = err == 0 ? 0 : -1;
        if (err) why_ = std::string("cannot connect: ") + text::errnoText(err);
      } else {
        why_ = "no answer to the connection within the wait";
      }
    } else if (r != 0) {
      why_ = std::string("cannot connect: ") + text::errnoText(errno);
    }
    if (r == 0) {
      const int one = 1;
      ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
      fd_ = fd;
    } else {
      ::close(fd);
    }
  }
  ::freeaddrinfo(found);
  if (fd_ < 0) return false;
  host_ = host;
  port_ = port;
  return true;
}

bool RigctldClient::readLine(std::string& line, std::size_t& replyBytes) {
  for (std::size_t scanned = 0;;) {
    const std::size_t nl = buffer_.find('\n', scanned);
    if (nl != std::string::npos) {
      line = buffer_.substr(0, nl + 1);
      buffer_.erase(0, nl + 1);
      return true;
    }
    scanned = buffer_.size();
    if (replyBytes >= kMaxReplyBytes) {
      why_ = "a reply longer than 64 KiB";
      return false;
    }
    // Checked here, not only by poll: a daemon whose bytes keep coming never lets poll wait.
    const int left = msLeft(deadline_);
    pollfd p{fd_, POLLIN, 0};
    if (left <= 0 || ::poll(&p, 1, left) <= 0) {
      why_ = "no reply within the wait";
      return false;
    }
    char chunk[4096];
    const std::size_t room = std::min(sizeof chunk, kMaxReplyBytes - replyBytes);
    const ssize_t n = ::recv(fd_, chunk, room, 0);
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    if (n <= 0) {
      why_ = "the connection was closed";
      return false;
    }
    replyBytes += static_cast<std::size_t>(n);
    buffer_.append(chunk, static_cast<std::size_t>(n));
  }
}

int RigctldClient::exchange(const std::vector<std::string>& lines) {
  bool replied = false;
  for (const std::string& command : lines) {
    if (::send(fd_, command.data(), command.size(), MSG_NOSIGNAL) !=
        static_cast<ssize_t>(command.size())) {
      why_ = "the connection was closed";
      return replied ? 0 : -1;
    }
    // Other lines (a get command's values) come before the RPRT that ends the reply. What the
    // previous reply left unread counts toward this one.
    std::size_t replyBytes = buffer_.size();
    std::string line;
    std::optional<int> code;
    while (!code) {
      if (!readLine(line, replyBytes))
        return replied || why_ != "the connection was closed" ? 0 : -1;
      code = parseRprt(line);
    }
    replied = true;
    if (*code != 0) {
      why_ = "\"" + command.substr(0, command.size() - 1) + "\" answered RPRT " +
             std::to_string(*code);
      return 0;
    }
  }
  return 1;
}

bool RigctldClient::run(const std::string& host, std::uint16_t port,
                        const std::vector<std::string>& lines) {
  why_.clear();
  deadline_ = Clock::now() + limits_.reply;
  const bool reuse = fd_ >= 0 && host == host_ && port == port_;
  if (!reuse && !connectTo(host, port)) return false;
  int r = exchange(lines);
  if (r < 0 && reuse) {
    // The daemon was restarted since the last tune: one fresh connection.
    if (!connectTo(host, port)) return false;
    r = exchange(lines);
  }
  if (r != 1) disconnect();
  return r == 1;
}

}  // namespace zeltaro::rig
