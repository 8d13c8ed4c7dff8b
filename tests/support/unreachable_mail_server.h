// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A mail server that is never reachable: every attempt is refused and recorded with the host it
// was made to.

#include <chrono>
#include <string>
#include <vector>

#include "platform/line_connection.h"

namespace zeltaro::testing {

class UnreachableMailServer final : public platform::LineConnection {
 public:
  bool open(std::string_view host, std::uint32_t, const StatusFn&, std::string& error) override {
    opened.emplace_back(host);
    error = "connection refused";
    return false;
  }
  bool write(std::string_view) override { return false; }
  bool readLine(std::string&, Deadline) override { return false; }
  void close(const StatusFn&) override {}
  bool isOpen() const override { return false; }
  std::chrono::milliseconds replyTimeout() const override { return std::chrono::milliseconds(1); }
  std::string localHostName() const override { return "localhost"; }
  std::vector<std::string> opened;  // one entry per attempt
};

}  // namespace zeltaro::testing
