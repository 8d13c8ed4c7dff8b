// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt_line_connection.h"

#include <QHostAddress>
#include <QHostInfo>
#include <algorithm>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

#include "platform/exchange_limits.h"
#include "platform/stop_request.h"
#include "text/codec.h"

namespace zeltaro::platform {
namespace {

// The longest single blocking wait, so that a stop request is seen promptly; with a pump, the
// longest time the window waits for its turn.
constexpr int kSliceMs = 50;
constexpr int kPumpedSliceMs = 10;

int msUntil(LineConnection::Deadline deadline, int slice) {
  if (deadline == LineConnection::Deadline::max()) return slice;
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
      deadline - std::chrono::steady_clock::now());
  return left.count() > 0 ? static_cast<int>(std::min<long long>(left.count(), slice)) : 0;
}

void report(const LineConnection::StatusFn& status, const std::string& message) {
  if (status) status(message);
}

}  // namespace

template <typename Step>
bool QtLineConnection::waitSliced(Deadline deadline, Step step) {
  const int slice = pump_ ? kPumpedSliceMs : kSliceMs;
  while (!stopRequested()) {
    const int ms = msUntil(deadline, slice);
    if (ms == 0) return false;
    if (step(ms)) return true;
    if (pump_) pump_->pump();
  }
  return false;
}

std::optional<QHostInfo> QtLineConnection::lookUp(const QString& name, Deadline deadline) {
  // The resolver's own call blocks for as long as the name servers take: it runs on a thread of
  // its own, which is left to finish alone when the wait ends first.
  struct Lookup {
    std::mutex mutex;
    std::condition_variable done;
    std::optional<QHostInfo> info;
  };
  const auto lookup = std::make_shared<Lookup>();
  try {
    std::thread([lookup, name] {
      QHostInfo info = QHostInfo::fromName(name);
      const std::lock_guard lock(lookup->mutex);
      lookup->info = std::move(info);
      lookup->done.notify_all();
    }).detach();
  } catch (const std::system_error&) {
    return std::nullopt;
  }
  waitSliced(deadline, [&](int ms) {
    std::unique_lock lock(lookup->mutex);
    return lookup->done.wait_for(lock, std::chrono::milliseconds(ms),
                                 [&] { return lookup->info.has_value(); });
  });
  const std::lock_guard lock(lookup->mutex);
  return lookup->info;
}

QtLineConnection::QtLineConnection(std::chrono::milliseconds connectTimeout,
                                   std::chrono::milliseconds replyTimeout,
                                   std::chrono::milliseconds exchangeTimeout)
    : connectTimeout_(connectTimeout),
      replyTimeout_(replyTimeout),
      exchangeTimeout_(exchangeTimeout) {
  // Qt keeps no more than this much unread; the rest waits in the kernel and the peer.
  socket_.setReadBufferSize(static_cast<qint64>(kMaxLineBytes));
}

std::chrono::milliseconds QtLineConnection::smtpDefaultTotal() { return smtpTotalTimeout(); }

QtLineConnection::~QtLineConnection() { socket_.abort(); }

bool QtLineConnection::open(std::string_view host, std::uint32_t port, const StatusFn& status,
                            std::string& error) {
  socket_.abort();
  pending_.clear();
  const std::string name = text::utf8FromCp932(host);
  if (name.empty()) {
    error = "No host name given.";
    return false;
  }
  if (port == 0 || port > 65535) {
    error = "Invalid port " + std::to_string(port) + ".";
    return false;
  }
  report(status, "Resolving hostname " + name + ".");
  QHostAddress address;
  if (!address.setAddress(QString::fromStdString(name))) {
    const std::optional<QHostInfo> info = lookUp(
        QString::fromStdString(name), bounded(std::chrono::steady_clock::now() + connectTimeout_));
    if (!info || info->error() != QHostInfo::NoError || info->addresses().isEmpty()) {
      error = "Host not found: " + name + ".";
      return false;
    }
    address = info->addresses().constFirst();
  }
  const std::string where = address.toString().toStdString() + ":" + std::to_string(port);
  report(status, "Connecting to " + where + ".");
  socket_.connectToHost(address, static_cast<quint16>(port));
  const Deadline connectBy = bounded(std::chrono::steady_clock::now() + connectTimeout_);
  if (!waitSliced(connectBy,
                  [this](int ms) {
                    // What the pump already did is looked at before waiting again.
                    return socket_.state() == QAbstractSocket::ConnectedState ||
                           socket_.waitForConnected(ms) ||
                           socket_.state() == QAbstractSocket::UnconnectedState;
                  }) ||
      socket_.state() != QAbstractSocket::ConnectedState) {
    error = socket_.state() != QAbstractSocket::UnconnectedState ||
                    socket_.error() == QAbstractSocket::SocketTimeoutError
                ? "Connection to " + where + " timed out."
                : socket_.errorString().toStdString() + " (" + where + ").";
    socket_.abort();
    return false;
  }
  report(status, "Connected.");
  return true;
}

bool QtLineConnection::write(std::string_view bytes) {
  if (socket_.state() != QAbstractSocket::ConnectedState) return false;
  if (socket_.write(bytes.data(), static_cast<qint64>(bytes.size())) !=
      static_cast<qint64>(bytes.size())) {
    return false;
  }
  const Deadline deadline = bounded(std::chrono::steady_clock::now() + replyTimeout_);
  while (socket_.bytesToWrite() > 0) {
    if (socket_.state() != QAbstractSocket::ConnectedState) return false;
    if (!waitSliced(deadline, [this](int ms) {
          return socket_.bytesToWrite() == 0 || socket_.waitForBytesWritten(ms) ||
                 socket_.state() != QAbstractSocket::ConnectedState;
        }))
      return false;
  }
  return true;
}

bool QtLineConnection::readLine(std::string& line, Deadline deadline) {
  deadline = bounded(deadline);
  std::size_t scanned = 0;
  for (;;) {
    const std::size_t lf = pending_.find('\n', scanned);
    if (lf != std::string::npos) {
      std::size_t end = lf;
      if (end > 0 && pending_[end - 1] == '\r') --end;
      line.assign(pending_, 0, end);
      pending_.erase(0, lf + 1);
      return true;
    }
    scanned = pending_.size();
    if (pending_.size() > kMaxLineBytes) {
      // A line without end: give up on the peer rather than hold it all.
      socket_.abort();
      pending_.clear();
      return false;
    }
    if (socket_.bytesAvailable() == 0) {
      if (socket_.state() != QAbstractSocket::ConnectedState) return false;
      if (!waitSliced(deadline, [this](int ms) {
            return socket_.bytesAvailable() > 0 || socket_.waitForReadyRead(ms) ||
                   socket_.bytesAvailable() > 0 ||
                   socket_.state() != QAbstractSocket::ConnectedState;
          }))
        return false;
    }
    const qint64 room = static_cast<qint64>(kMaxLineBytes + 1 - pending_.size());
    const QByteArray data = socket_.read(std::min(socket_.bytesAvailable(), room));
    pending_.append(data.constData(), static_cast<std::size_t>(data.size()));
  }
}

void QtLineConnection::close(const StatusFn& status) {
  if (socket_.state() == QAbstractSocket::UnconnectedState) return;
  report(status, "Disconnecting.");
  socket_.disconnectFromHost();
  if (socket_.state() != QAbstractSocket::UnconnectedState) {
    waitSliced(bounded(std::chrono::steady_clock::now() + replyTimeout_), [this](int ms) {
      return socket_.state() == QAbstractSocket::UnconnectedState ||
             socket_.waitForDisconnected(ms) ||
             socket_.state() == QAbstractSocket::UnconnectedState;
    });
  }
  socket_.abort();
  pending_.clear();
  report(status, "Disconnected.");
}

bool QtLineConnection::isOpen() const { return socket_.state() == QAbstractSocket::ConnectedState; }

std::string QtLineConnection::localHostName() const {
  const std::string name = QHostInfo::localHostName().toStdString();
  return name.empty() ? "localhost" : name;
}

}  // namespace zeltaro::platform
