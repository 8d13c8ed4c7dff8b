#include "platform/qt_line_connection.h"

#include <QHostAddress>
#include <QHostInfo>

#include "text/codec.h"

namespace zeltaro::platform {
namespace {

int msUntil(LineConnection::Deadline deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
      deadline - std::chrono::steady_clock::now());
  return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

void report(const LineConnection::StatusFn& status, const std::string& message) {
  if (status) status(message);
}

}  // namespace

QtLineConnection::QtLineConnection(std::chrono::milliseconds connectTimeout,
                                   std::chrono::milliseconds replyTimeout)
    : connectTimeout_(connectTimeout), replyTimeout_(replyTimeout) {}

QtLineConnection::~QtLineConnection() { socket_.abort(); }

bool QtLineConnection::open(std::string_view host, std::uint32_t port, const StatusFn& status,
                            std::string& error) {
  socket_.abort();
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
    const QHostInfo info = QHostInfo::fromName(QString::fromStdString(name));
    if (info.error() != QHostInfo::NoError || info.addresses().isEmpty()) {
      error = "Host not found: " + name + ".";
      return false;
    }
    address = info.addresses().constFirst();
  }
  const std::string where = address.toString().toStdString() + ":" + std::to_string(port);
  report(status, "Connecting to " + where + ".");
  socket_.connectToHost(address, static_cast<quint16>(port));
  if (!socket_.waitForConnected(static_cast<int>(connectTimeout_.count()))) {
    error = socket_.error() == QAbstractSocket::SocketTimeoutError
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
  const Deadline deadline = std::chrono::steady_clock::now() + replyTimeout_;
  while (socket_.bytesToWrite() > 0) {
    const int ms = msUntil(deadline);
    if (ms == 0 || !socket_.waitForBytesWritten(ms)) return false;
  }
  return true;
}

bool QtLineConnection::readLine(std::string& line, Deadline deadline) {
  while (!socket_.canReadLine()) {
    if (socket_.state() != QAbstractSocket::ConnectedState) return false;
    const int ms = msUntil(deadline);
    if (ms == 0 || !socket_.waitForReadyRead(ms)) {
      if (socket_.canReadLine()) break;
      return false;
    }
  }
  QByteArray data = socket_.readLine();
  if (data.endsWith('\n')) data.chop(1);
  if (data.endsWith('\r')) data.chop(1);
  line.assign(data.constData(), static_cast<std::size_t>(data.size()));
  return true;
}

void QtLineConnection::close(const StatusFn& status) {
  if (socket_.state() == QAbstractSocket::UnconnectedState) return;
  report(status, "Disconnecting.");
  socket_.disconnectFromHost();
  if (socket_.state() != QAbstractSocket::UnconnectedState) {
    socket_.waitForDisconnected(static_cast<int>(replyTimeout_.count()));
  }
  socket_.abort();
  report(status, "Disconnected.");
}

bool QtLineConnection::isOpen() const { return socket_.state() == QAbstractSocket::ConnectedState; }

std::string QtLineConnection::localHostName() const {
  const std::string name = QHostInfo::localHostName().toStdString();
  return name.empty() ? "localhost" : name;
}

}  // namespace zeltaro::platform
