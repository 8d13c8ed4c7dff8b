#pragma once
// A line-oriented TCP client connection with bounded blocking waits, for the SMTP exchange.
// Everything blocks the calling thread: no window messages run while it waits.

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace zeltaro::platform {

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
  // One received line without its CR LF (or LF); false when none was complete by the deadline
  // or the peer closed.
  virtual bool readLine(std::string& line, Deadline deadline) = 0;
  // Closes the connection (nothing happens when it is not open).
  virtual void close(const StatusFn& status) = 0;
  virtual bool isOpen() const = 0;

  // How long one reply may take.
  virtual std::chrono::milliseconds replyTimeout() const = 0;
  // The name this machine greets a server with.
  virtual std::string localHostName() const = 0;
};

}  // namespace zeltaro::platform
