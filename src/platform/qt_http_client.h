// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The HTTP/1.0 page fetch over QTcpSocket. The request bytes are fixed; the wait for the
// network is cut into short slices with the message pump run between them, so the window and
// the console stay alive while a page comes in. A fetch ends within its total time whatever
// the server does (a server dripping one byte now and then included), and at once when the
// program is asked to stop.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>

#include "platform/http_client.h"

namespace zeltaro::platform {

// Where a page address points: "http://" host [":" port] and the request target.
struct HttpAddress {
  std::string host;  // as written in the address (IPv6 keeps its brackets)
  std::uint16_t port = 80;
  std::string target;  // from the third "/" on, at most 256 bytes; "/" when there is none
  bool operator==(const HttpAddress&) const = default;
};

// nullopt for an empty address, any scheme but http (https included), an empty host, a bad
// port, or control characters in the host or target (they would forge request lines).
std::optional<HttpAddress> parseHttpAddress(std::string_view address);

// The whole GET request for a parsed address, byte for byte.
std::string httpRequestBytes(const HttpAddress& address);

class QtHttpClient final : public HttpClient {
 public:
  struct Limits {
    int idleTimeoutMs = 30000;                 // nothing received for this long: fail
    int totalTimeoutMs = 60000;                // the whole get(), redirects included
    std::size_t maxResponseBytes = 16u << 20;  // status line, headers and body together
    int maxRedirects = 10;                     // 300-302 responses followed in one get()
    int sliceMs = 20;                          // longest wait between two pumps
  };

  // The default limits, the total time as httpTotalTimeout() says.
  QtHttpClient();
  explicit QtHttpClient(Limits limits);
  ~QtHttpClient() override;
  QtHttpClient(const QtHttpClient&) = delete;
  QtHttpClient& operator=(const QtHttpClient&) = delete;

  // A get() that starts while another one waits (from inside its pump or packet callback) is
  // queued behind it: fetches run one after another, never interleaved on the wire.
  Result get(std::string_view address, MessagePump& pump,
             const std::function<void()>& onPacket) override;

  const Limits& limits() const { return limits_; }
  void setLimits(const Limits& limits) { limits_ = limits; }

 private:
  struct Job;
  void advance(Job& job);

  Limits limits_;
  std::deque<Job*> queue_;  // the front is the fetch on the wire; owned by the get() frames
};

}  // namespace zeltaro::platform
