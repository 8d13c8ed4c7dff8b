// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QHostInfo>
#include <QTcpSocket>
#include <chrono>
#include <optional>
#include <string>

#include "platform/line_connection.h"
#include "platform/message_pump.h"

namespace zeltaro::platform {

// LineConnection over a QTcpSocket used with its blocking waits. The waits are cut into short
// slices so that a stop request (SIGTERM) ends them at once; what the peer sends is read into
// a buffer of at most one line (kMaxLineBytes). A host name is looked up on a thread of its own
// and waited for like the rest. Given a message pump, the connection lets the
// window and the console run between the slices of every wait, as the page fetch does.
class QtLineConnection final : public LineConnection {
 public:
  explicit QtLineConnection(std::chrono::milliseconds connectTimeout = std::chrono::seconds(30),
                            std::chrono::milliseconds replyTimeout = std::chrono::seconds(30),
                            std::chrono::milliseconds exchangeTimeout = smtpDefaultTotal());
  ~QtLineConnection() override;

  bool open(std::string_view host, std::uint32_t port, const StatusFn& status,
            std::string& error) override;
  bool write(std::string_view bytes) override;
  bool readLine(std::string& line, Deadline deadline) override;
  void close(const StatusFn& status) override;
  bool isOpen() const override;
  std::chrono::milliseconds replyTimeout() const override { return replyTimeout_; }
  std::chrono::milliseconds exchangeTimeout() const override { return exchangeTimeout_; }
  void setDeadline(Deadline deadline) override { deadline_ = deadline; }
  std::string localHostName() const override;

  // Pumped between the slices of every wait from now on (null: the waits block).
  void setPump(MessagePump* pump) { pump_ = pump; }

  // smtpTotalTimeout(), as a default argument.
  static std::chrono::milliseconds smtpDefaultTotal();

 private:
  Deadline bounded(Deadline d) const { return d < deadline_ ? d : deadline_; }
  // Runs one wait step (given at most a slice) until it succeeds, the deadline passes or a stop
  // is requested; pumps between the slices.
  template <typename Step>
  bool waitSliced(Deadline deadline, Step step);
  // The host's addresses as the resolver gives them, waited for in slices until the deadline;
  // nothing when the wait ended first.
  std::optional<QHostInfo> lookUp(const QString& name, Deadline deadline);

  QTcpSocket socket_;
  std::chrono::milliseconds connectTimeout_;
  std::chrono::milliseconds replyTimeout_;
  std::chrono::milliseconds exchangeTimeout_;
  Deadline deadline_ = Deadline::max();
  std::string pending_;  // received bytes not yet returned as a line
  MessagePump* pump_ = nullptr;
};

}  // namespace zeltaro::platform
