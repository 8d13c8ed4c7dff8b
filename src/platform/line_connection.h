// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A line-oriented TCP client connection with bounded blocking waits, for the SMTP exchange.
// Everything blocks the calling thread: no window messages run while it waits. Besides the
// wait of each step, a whole exchange has a deadline (setDeadline) that no step waits past.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace zeltaro::platform {

// The longest line a peer may send; a longer one ends the exchange instead of filling memory.
inline constexpr std::size_t kMaxLineBytes = 64 * 1024;

class LineConnection {
 public:
  using Deadline = std::chrono::steady_clock::time_point;
  // Progress messages such as "Connecting to 127.0.0.1." (for a status window).
  using StatusFn = std::function<void(std::string_view)>;

  virtual ~LineConnection() = default;

  // Resolves host and connects, waiting at most the connect timeout. On failure the
  // connection stays closed and error says why.
  virtual bool open(std::string_view host, std::uint32_t port, const StatusFn& status,
                    std::string& error) = 0;
  // Sends bytes as they are; false when the connection is gone or writing timed out.
  virtual bool write(std::string_view bytes) = 0;
  // One received line without its CR LF (or LF); false when none was complete by the deadline,
  // the peer closed, or the line grew past kMaxLineBytes (the connection is then closed).
  virtual bool readLine(std::string& line, Deadline deadline) = 0;
  // Closes the connection (nothing happens when it is not open).
  virtual void close(const StatusFn& status) = 0;
  virtual bool isOpen() const = 0;

  // How long one reply may take.
  virtual std::chrono::milliseconds replyTimeout() const = 0;
  // How long one whole exchange may take, and the point in time no step may wait past (set by
  // the exchange when it starts; the far future when none runs).
  virtual std::chrono::milliseconds exchangeTimeout() const { return std::chrono::seconds(60); }
  virtual void setDeadline(Deadline) {}
  // The name this machine greets a server with.
  virtual std::string localHostName() const = 0;
};

}  // namespace zeltaro::platform
