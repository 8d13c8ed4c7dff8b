// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A client of Hamlib's rigctld, which owns the rig's CAT port and shares it with the logger,
// WSJT-X, fldigi and this program. Every exchange has a bounded wait, so an unreachable daemon
// costs the window a fraction of a second, never a hang.

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace zeltaro::rig {

class RigctldClient {
 public:
  struct Limits {
    std::chrono::milliseconds connect{500};
    // The whole exchange of one run (every command and its reply, a reconnection included),
    // however fast or slow the daemon's bytes arrive.
    std::chrono::milliseconds reply{1000};
  };
  // The most one command's reply may take; a daemon that sends more is cut off.
  static constexpr std::size_t kMaxReplyBytes = 64 * 1024;
  RigctldClient() = default;
  explicit RigctldClient(Limits limits) : limits_(limits) {}
  ~RigctldClient();
  RigctldClient(const RigctldClient&) = delete;
  RigctldClient& operator=(const RigctldClient&) = delete;

  // Sends each command line and reads its "RPRT n" reply. True when every reply was RPRT 0.
  // The connection is kept for the next call; a daemon that was restarted meanwhile is
  // connected again once. On failure, why() says what happened.
  bool run(const std::string& host, std::uint16_t port, const std::vector<std::string>& lines);
  const std::string& why() const { return why_; }
  void disconnect();

 private:
  bool connectTo(const std::string& host, std::uint16_t port);
  // -1: connection broken before any reply, 0: failed, 1: ok
  int exchange(const std::vector<std::string>& lines);
  // One line of the reply; replyBytes counts what the reply has taken so far.
  bool readLine(std::string& line, std::size_t& replyBytes);

  Limits limits_;
  int fd_ = -1;
  std::string host_;
  std::uint16_t port_ = 0;
  std::string buffer_;
  std::string why_;
  std::chrono::steady_clock::time_point deadline_;
};

}  // namespace zeltaro::rig
