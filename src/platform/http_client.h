// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The single HTTP/1.0 client that fetches spot pages.

#include <functional>
#include <string>
#include <string_view>

#include "platform/message_pump.h"

namespace zeltaro::platform {

class HttpClient {
 public:
  struct Result {
    bool ok = false;    // a response was received (any status); false on every failure
    int status = 0;     // the final status code after redirects
    std::string body;   // the response body, bytes as sent
    std::string error;  // why it failed, for diagnostics only (never shown to the user)
  };
  virtual ~HttpClient() = default;
  // Fetches address (taken unchanged, no trimming), letting pump run while it waits for the
  // network; onPacket (may be empty) is called for every packet of data received.
  virtual Result get(std::string_view address, MessagePump& pump,
                     const std::function<void()>& onPacket) = 0;
};

}  // namespace zeltaro::platform
