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
    std::chrono::milliseconds reply{1000};  // per command
  };
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
  bool readLine(std::string& line);

  Limits limits_;
  int fd_ = -1;
  std::string host_;
  std::uint16_t port_ = 0;
  std::string buffer_;
  std::string why_;
};

}  // namespace zeltaro::rig
