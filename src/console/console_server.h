// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The remote console's listening socket, ServerSocket1: one client at a time, its socket events
// driving a ConsoleSession. With a password it listens on all local addresses; without one on
// the loopback address only.

#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "console/console_session.h"
#include "platform/message_box.h"

namespace zeltaro::console {

class SocketConnection;

// Bytes one read of the client may gather while nobody reads them; beyond it the socket stops
// taking data from the network, so a flood waits in the peer's TCP window instead of here.
inline constexpr std::size_t kReadBufferSize = 64 * 1024;
// Output the client has not taken yet above which its input is left unread until it catches up.
inline constexpr std::size_t kMaxOutputBacklog = 256 * 1024;
// A closed connection whose client does not take the last bytes is cut after this long.
inline constexpr int kCloseGraceMs = 10000;

class ConsoleServer {
 public:
  // graceTime: how long a client may stay connected without having given the password (a
  // client that has given it, or any client when there is no password, may stay as long as
  // it likes).
  explicit ConsoleServer(platform::MessageBox& messages);
  ConsoleServer(platform::MessageBox& messages, std::chrono::milliseconds graceTime);
  ~ConsoleServer();
  ConsoleServer(const ConsoleServer&) = delete;
  ConsoleServer& operator=(const ConsoleServer&) = delete;

  ConsoleSession& session() { return session_; }

  // Starts listening on port (all local addresses with a password, 127.0.0.1 without: the
  // session's password is set first); port 0 leaves the console off. Once
  // listening, the socket is left as it is: asking again (the reload) changes nothing. A
  // failure is shown as an error message and the console stays unavailable. Returns whether
  // the console listens.
  bool listen(std::uint16_t port);
  bool isListening() const { return ServerSocket1.isListening(); }
  std::uint16_t port() const { return ServerSocket1.serverPort(); }

  // Bytes queued for the session's client that it has not taken yet (0 without a session).
  std::size_t outputBacklog() const;

  QTcpServer ServerSocket1;

 private:
  void ServerSocket1Accept();
  void ClientRead(SocketConnection* connection);
  void ClientWrite(SocketConnection* connection);
  void ClientDisconnect(SocketConnection* connection);
  void ClientError(SocketConnection* connection, QAbstractSocket::SocketError error);
  // A session whose client has already gone (its departure still queued) ends now, so that a
  // client arriving right behind it is not taken for a second one.
  void endDepartedSession();
  void startGraceTimer(SocketConnection* connection);
  QTcpSocket* sessionSocket() const;
  // Runs the receive rule on what the session's client has sent, as long as no command runs
  // and the client takes its output.
  void drain();

  platform::MessageBox& messages_;
  std::chrono::milliseconds graceTime_;
  ConsoleSession session_;
  QPointer<SocketConnection> current_;
  SocketConnection* drainingFor_ = nullptr;  // the client whose input the innermost drain reads
  int drainDepth_ = 0;
  std::vector<QPointer<QTcpSocket>> retired_;  // closed while a command ran
};

}  // namespace zeltaro::console
