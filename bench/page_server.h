// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A page server on loopback for the benchmarks: every request gets the same page, on a thread of
// its own, so that the fetch is measured through a real socket.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <string>
#include <thread>

namespace zeltaro::bench {

class PageServer {
 public:
  explicit PageServer(std::string body) : body_(std::move(body)) {
    fd_ = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    if (bind(fd_, reinterpret_cast<sockaddr*>(&a), len) != 0 || listen(fd_, 8) != 0 ||
        getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &len) != 0) {
      std::abort();
    }
    port_ = ntohs(a.sin_port);
    thread_ = std::thread([this] { serve(); });
  }
  ~PageServer() {
    stop_ = true;
    shutdown(fd_, SHUT_RDWR);
    close(fd_);
    thread_.join();
  }
  int port() const { return port_; }

 private:
  void serve() {
    const std::string head = "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nContent-Length: " +
                             std::to_string(body_.size()) + "\r\nConnection: close\r\n\r\n";
    while (!stop_) {
      const int c = accept(fd_, nullptr, nullptr);
      if (c < 0) continue;
      std::string request;
      char buf[4096];
      while (request.find("\r\n\r\n") == std::string::npos) {
        const ssize_t n = read(c, buf, sizeof buf);
        if (n <= 0) break;
        request.append(buf, static_cast<std::size_t>(n));
      }
      const std::string reply = head + body_;
      for (std::size_t sent = 0; sent < reply.size();) {
        const ssize_t n = write(c, reply.data() + sent, reply.size() - sent);
        if (n <= 0) break;
        sent += static_cast<std::size_t>(n);
      }
      close(c);
    }
  }

  std::string body_;
  int fd_ = -1, port_ = 0;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

}  // namespace zeltaro::bench
