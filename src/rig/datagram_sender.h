// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Fire-and-forget UDP datagrams to the companion program.

#include <cstdint>
#include <string>
#include <string_view>

namespace zeltaro::rig {

class DatagramSender {
 public:
  virtual ~DatagramSender() = default;
  // Sends bytes as one datagram to host:port; errors are not reported.
  virtual void send(const std::string& host, std::uint16_t port, std::string_view bytes) = 0;
};

}  // namespace zeltaro::rig
