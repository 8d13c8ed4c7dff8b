#pragma once
#include <QTcpSocket>
#include <chrono>

#include "platform/line_connection.h"

namespace zeltaro::platform {

// LineConnection over a QTcpSocket used with its blocking waits.
class QtLineConnection final : public LineConnection {
 public:
  explicit QtLineConnection(std::chrono::milliseconds connectTimeout = std::chrono::seconds(30),
                            std::chrono::milliseconds replyTimeout = std::chrono::seconds(30));
  ~QtLineConnection() override;

  bool open(std::string_view host, std::uint32_t port, const StatusFn& status,
            std::string& error) override;
  bool write(std::string_view bytes) override;
  bool readLine(std::string& line, Deadline deadline) override;
  void close(const StatusFn& status) override;
  bool isOpen() const override;
  std::chrono::milliseconds replyTimeout() const override { return replyTimeout_; }
  std::string localHostName() const override;

 private:
  QTcpSocket socket_;
  std::chrono::milliseconds connectTimeout_;
  std::chrono::milliseconds replyTimeout_;
};

}  // namespace zeltaro::platform
