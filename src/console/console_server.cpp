// SPDX-License-Identifier: GPL-3.0-or-later
#include "console/console_server.h"

#include <QTcpSocket>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/exchange_limits.h"
#include "platform/socket_state.h"
#include "text/codec.h"

namespace zeltaro::console {

// One accepted client socket as the session's Connection. A child of its socket, so both go
// together.
class SocketConnection final : public QObject, public Connection {
 public:
  explicit SocketConnection(QTcpSocket* socket)
      : QObject(socket), resetWatch(socket->socketDescriptor()), socket_(socket) {}

  QTcpSocket* socket() const { return socket_; }

  void send(std::string_view bytes) override {
    // QTcpSocket keeps what the network does not take at once and sends it in order. What the
    // network takes goes now, not at the event loop's next turn: a reply after a check would
    // otherwise wait for the window to repaint the lines the check added.
    if (socket_->state() == QAbstractSocket::ConnectedState) {
      socket_->write(bytes.data(), static_cast<qint64>(bytes.size()));
      socket_->flush();
    }
  }

  void close() override {
    closing = true;
    QTimer::singleShot(kCloseGraceMs, socket_, [s = socket_] { s->abort(); });
    socket_->disconnectFromHost();  // last: may report the disconnect at once
  }

  bool closing = false;
  bool wrote = false;      // "Write" has been shown for this client
  bool throttled = false;  // its input waits until it takes its output
  platform::ResetWatch resetWatch;

 private:
  QTcpSocket* socket_;
};

ConsoleServer::ConsoleServer(platform::MessageBox& messages)
    : ConsoleServer(messages, platform::consoleGraceTime()) {}

ConsoleServer::ConsoleServer(platform::MessageBox& messages, std::chrono::milliseconds graceTime)
    : messages_(messages), graceTime_(graceTime) {
  // A reply that waited for a check has gone out: the client's input is read again.
  session_.setIdleListener([this] { drain(); });
  QObject::connect(&ServerSocket1, &QTcpServer::newConnection, &ServerSocket1,
                   [this] { ServerSocket1Accept(); });
}

ConsoleServer::~ConsoleServer() {
  // The sockets die with ServerSocket1; nothing they report then may reach the session.
  for (QTcpSocket* s : ServerSocket1.findChildren<QTcpSocket*>()) s->disconnect();
  ServerSocket1.disconnect();
}

bool ConsoleServer::listen(std::uint16_t port) {
  if (port == 0) return ServerSocket1.isListening();
  if (ServerSocket1.isListening()) return true;
  // Without a password anyone who reaches the port drives the station (and its rig and mail):
  // then only this machine may reach it.
  const bool everywhere = session_.hasPassword();
  // Test runs set ZELTARO_CONSOLE_ANY_PORT: the kernel then picks a free port, which the test
  // reads from the process's listening socket, instead of a port guessed free that another
  // process may take first. Unset, the port asked is the one used.
  const char* anyPort = std::getenv("ZELTARO_CONSOLE_ANY_PORT");
  const std::uint16_t asked = anyPort != nullptr && *anyPort != '\0' ? 0 : port;
  if (!ServerSocket1.listen(everywhere ? QHostAddress::Any : QHostAddress::LocalHost, asked)) {
    messages_.show(platform::MessageBox::Kind::Error, "ZELTARO",
                   text::sj("TELNETポート ") + std::to_string(port) +
                       text::sj(" を開けません\r\n") +
                       text::cp932FromUtf8(ServerSocket1.errorString().toStdString()));
    return false;
  }
  if (!everywhere)
    std::fprintf(stderr,
                 "zeltaro: the console has no password (/pass=): it listens on 127.0.0.1 port %u "
                 "only\n",
                 static_cast<unsigned>(ServerSocket1.serverPort()));
  session_.status("Listen");
  return true;
}

std::size_t ConsoleServer::outputBacklog() const {
  QTcpSocket* s = sessionSocket();
  return s ? static_cast<std::size_t>(s->bytesToWrite()) : 0;
}

QTcpSocket* ConsoleServer::sessionSocket() const {
  if (current_ && session_.connection() == current_.data()) return current_->socket();
  return nullptr;
}

void ConsoleServer::ServerSocket1Accept() {
  while (QTcpSocket* socket = ServerSocket1.nextPendingConnection()) {
    session_.status("GetSocket");
    socket->setReadBufferSize(static_cast<qint64>(kReadBufferSize));
    // A reply goes out at once, not after the peer has acknowledged the echo of its command
    // (which it may hold back for up to 40 ms): the same bytes, without the wait.
    socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    auto* connection = new SocketConnection(socket);
    QObject::connect(socket, &QTcpSocket::readyRead, connection,
                     [this, connection] { ClientRead(connection); });
    QObject::connect(socket, &QTcpSocket::bytesWritten, connection,
                     [this, connection] { ClientWrite(connection); });
    QObject::connect(socket, &QTcpSocket::disconnected, connection,
                     [this, connection] { ClientDisconnect(connection); });
    QObject::connect(
        socket, &QTcpSocket::errorOccurred, connection,
        [this, connection](QAbstractSocket::SocketError error) { ClientError(connection, error); });
    session_.status("Connect");
    session_.status("Accept");
    endDepartedSession();
    if (session_.accept(*connection)) {
      current_ = connection;
      startGraceTimer(connection);
      drain();  // the client may have typed ahead of its greeting
    }
  }
}

void ConsoleServer::startGraceTimer(SocketConnection* connection) {
  if (session_.Authenticated) return;
  // The connection is the timer's context: the timer dies with it.
  QTimer::singleShot(graceTime_, connection, [this, connection] {
    if (session_.connection() == connection && !session_.Authenticated && !session_.busy())
      session_.CloseSession();
  });
}

void ConsoleServer::endDepartedSession() {
  QTcpSocket* s = sessionSocket();
  if (s == nullptr || !platform::peerHasLeft(s->socketDescriptor())) return;
  SocketConnection* connection = current_.data();
  drain();  // what it sent before leaving is still its input (unless its command runs)
  if (session_.connection() != connection) return;
  // abort() reports the disconnect at once; the direct call covers a socket that no longer
  // reports anything.
  s->abort();
  if (session_.connection() == connection) ClientDisconnect(connection);
}

void ConsoleServer::ClientError(SocketConnection* connection, QAbstractSocket::SocketError error) {
  // A client that closes its end is a normal disconnect, not an error; Qt reports a reset the
  // same way, so the kernel is asked which of the two it was.
  const bool reset = error == QAbstractSocket::RemoteHostClosedError;
  if (reset && !connection->resetWatch.wasReset()) return;
  session_.status("Error");
  const std::string what =
      reset ? "Connection reset by peer." : connection->socket()->errorString().toStdString();
  messages_.show(platform::MessageBox::Kind::Error, "ZELTARO",
                 text::cp932FromUtf8("Socket Error: " + what));
}

void ConsoleServer::ClientRead(SocketConnection* connection) {
  session_.status("Read");
  if (connection->closing || session_.connection() != connection) {
    connection->socket()->readAll();  // a connection on its way out: its input goes nowhere
    return;
  }
  drain();
}

void ConsoleServer::ClientWrite(SocketConnection* connection) {
  if (session_.connection() != connection) return;
  QTcpSocket* s = connection->socket();
  const bool caughtUp =
      connection->throttled && static_cast<std::size_t>(s->bytesToWrite()) <= kMaxOutputBacklog;
  if (!connection->wrote || caughtUp) session_.status("Write");
  connection->wrote = true;
  if (caughtUp) {
    connection->throttled = false;
    drain();
  }
}

void ConsoleServer::ClientDisconnect(SocketConnection* connection) {
  connection->resetWatch.release();  // the socket's close reaches the client now
  session_.status("Disconnect");
  session_.disconnected(*connection);
  // While a command runs, this socket's own signal may still be on the stack below us.
  if (drainDepth_ > 0) {
    retired_.emplace_back(connection->socket());
  } else {
    connection->socket()->deleteLater();
  }
}

void ConsoleServer::drain() {
  // A command that lets the event loop run is below us on the stack for its own client: that
  // client's input waits for the reply. A new client that arrived meanwhile (the old one has
  // gone) is served at once; its own commands wait for the running one in the session.
  SocketConnection* const client = current_.data();
  if (client == nullptr || client == drainingFor_) return;
  SocketConnection* const outer = drainingFor_;
  drainingFor_ = client;
  ++drainDepth_;
  // Each round looks up the session again: a command may have closed it.
  while (QTcpSocket* s = sessionSocket()) {
    if (current_.data() != client || session_.busy() || s->bytesAvailable() <= 0) break;
    if (static_cast<std::size_t>(s->bytesToWrite()) > kMaxOutputBacklog) {
      current_->throttled = true;
      break;
    }
    const QByteArray chunk = s->readAll();
    session_.receive(std::string_view(chunk.constData(), static_cast<std::size_t>(chunk.size())));
  }
  drainingFor_ = outer;
  if (--drainDepth_ > 0) return;
  for (const QPointer<QTcpSocket>& s : retired_) {
    if (s) s->deleteLater();
  }
  retired_.clear();
  // A client that came while a command ran may have typed ahead.
  if (current_ && current_.data() != client) drain();
}

}  // namespace zeltaro::console
