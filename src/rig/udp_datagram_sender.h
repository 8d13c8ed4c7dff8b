// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// DatagramSender over one QUdpSocket for the whole run.

#include <memory>

#include "rig/datagram_sender.h"

namespace zeltaro::rig {

class UdpDatagramSender final : public DatagramSender {
 public:
  UdpDatagramSender();
  ~UdpDatagramSender() override;
  void send(const std::string& host, std::uint16_t port, std::string_view bytes) override;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace zeltaro::rig
