// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Shared pieces of the console tests: a real TCP client on 127.0.0.1, a command executor that
// records its lines, and waiting with the event loop running (the server lives on this thread).

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "console/console_server.h"
#include "console/console_session.h"
#include "platform/message_box.h"
#include "support/peer_process.h"
#include "support/recorders.h"
#include "support/scoped_env.h"
#include "support/wait.h"

namespace zeltaro::console::testing {

using zeltaro::testing::pumpFor;
using zeltaro::testing::waitUntil;

// For as long as it lives, a console asked to listen lets the kernel pick a free port, which the
// test then reads from the server: a port probed free and released could be taken by another
// process before the console binds it.
struct AnyConsolePort {
  zeltaro::testing::ScopedEnv any{"ZELTARO_CONSOLE_ANY_PORT", "1"};
};

// Listens on a port the kernel picks and returns it (0 when the server does not listen).
inline quint16 listenOnAnyPort(ConsoleServer& server) {
  AnyConsolePort any;
  return server.listen(23) ? server.port() : 0;
}

// The greeting as the client must receive it, CP932 bytes from a fixture file.
inline std::string greetingFixture() {
  QFile f(
      QString::fromStdString(zeltaro::testing::testsDir() + "/console/fixtures/greeting.cp932"));
  if (!f.open(QIODevice::ReadOnly)) return "<missing greeting fixture>";
  const QByteArray b = f.readAll();
  return std::string(b.constData(), static_cast<std::size_t>(b.size()));
}

class TestClient {
 public:
  explicit TestClient(quint16 port) {
    QObject::connect(&socket, &QTcpSocket::readyRead, &socket, [this] { take(); });
    QObject::connect(&socket, &QTcpSocket::disconnected, &socket, [this] { closed = true; });
    socket.connectToHost(QHostAddress::LocalHost, port);
  }

  bool waitConnected() {
    return waitUntil([this] { return socket.state() == QAbstractSocket::ConnectedState; });
  }
  void send(std::string_view bytes) {
    socket.write(bytes.data(), static_cast<qint64>(bytes.size()));
  }
  bool waitReceived(std::size_t n, int timeoutMs = 10000) {
    return waitUntil([&] { return received.size() >= n || closed; }, timeoutMs);
  }
  bool waitClosed() {
    return waitUntil([this] { return closed; });
  }
  // A client that does not take what it is sent: its TCP window fills up.
  void pauseReading() {
    reading_ = false;
    socket.setReadBufferSize(4096);
  }
  void resumeReading() {
    reading_ = true;
    socket.setReadBufferSize(0);
    take();
  }

  QTcpSocket socket;
  std::string received;
  bool closed = false;

 private:
  void take() {
    if (!reading_) return;
    const QByteArray b = socket.readAll();
    received.append(b.constData(), static_cast<std::size_t>(b.size()));
  }
  bool reading_ = true;
};

// Replies "<line>" to every line, with a few lines of its own: "Q" quits, "TAB" replies with a
// TAB inside, "SILENT" replies with nothing. whileRunning, when set, runs before each reply
// (a command that lets the event loop run, for example).
class TestExecutor final : public CommandExecutor {
 public:
  std::string execute(std::string_view line, SessionControl& session) override {
    lines.emplace_back(line);
    if (whileRunning) whileRunning(line);
    if (line == "Q") {
      session.ClearPendingInput();
      session.CloseSession();
      return "";
    }
    if (line == "TAB") return "x\ty";
    if (line == "SILENT") return "";
    return "<" + std::string(line) + ">";
  }

  std::vector<std::string> lines;
  std::function<void(std::string_view)> whileRunning;
};

// A listening console with the test executor, on a port the kernel picked.
struct Console {
  explicit Console(std::string password = "") {
    server.session().setPassword(std::move(password));
    server.session().setExecutor(&executor);
    port = listenOnAnyPort(server);
    listening = port != 0;
  }

  platform::RecordingMessageBox messages;
  TestExecutor executor;
  ConsoleServer server{messages};
  quint16 port = 0;
  bool listening = false;
};

// Sends a line and returns what came back once at least as many bytes as expect have arrived.
inline std::string exchange(TestClient& client, const std::string& send,
                            const std::string& expect) {
  client.received.clear();
  client.send(send);
  client.waitReceived(expect.size());
  pumpFor(50);
  return client.received;
}

}  // namespace zeltaro::console::testing
