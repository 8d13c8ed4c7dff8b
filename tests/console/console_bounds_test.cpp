// SPDX-License-Identifier: GPL-3.0-or-later
// The console against clients that stay silent, come and go at once, or reset the connection.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <memory>

#include "console_fixture.h"
#include "support/recorders.h"

namespace zeltaro::console {
namespace {

using namespace std::chrono_literals;
using testing::pumpFor;
using testing::TestClient;
using testing::waitUntil;

// A console asking for a password, whose clients have graceMs to give it.
struct GracefulConsole {
  explicit GracefulConsole(std::chrono::milliseconds grace) : server(messages, grace) {
    server.session().setPassword("secret");
    server.session().setExecutor(&executor);
    port = testing::listenOnAnyPort(server);
    listening = port != 0;
  }
  platform::RecordingMessageBox messages;
  testing::TestExecutor executor;
  ConsoleServer server;
  quint16 port = 0;
  bool listening = false;
};

TEST(ConsoleGraceTime, ASilentClientIsCutAndTheNextOneGetsIn) {
  GracefulConsole console(700ms);
  ASSERT_TRUE(console.listening);
  TestClient silent(console.port);
  ASSERT_TRUE(silent.waitReceived(6));
  EXPECT_EQ(silent.received, "QRZ?\r\n");
  QElapsedTimer clock;
  clock.start();
  ASSERT_TRUE(silent.waitClosed());
  EXPECT_GE(clock.elapsed(), 600);
  EXPECT_LT(clock.elapsed(), 3000);
  EXPECT_EQ(silent.received, "QRZ?\r\n");

  TestClient next(console.port);
  ASSERT_TRUE(next.waitReceived(6));
  EXPECT_EQ(next.received, "QRZ?\r\n");
}

TEST(ConsoleGraceTime, AClientThatGaveThePasswordStays) {
  GracefulConsole console(500ms);
  ASSERT_TRUE(console.listening);
  TestClient client(console.port);
  ASSERT_TRUE(client.waitReceived(6));
  client.send("secret\r\n");
  pumpFor(1500);
  EXPECT_FALSE(client.closed);
  client.received.clear();
  client.send("PING\r\n");
  ASSERT_TRUE(client.waitReceived(14));
  EXPECT_EQ(client.received, "PING\r\n<PING>\r\n");
}

// A stranger who connects and never gives the password gives way to the next client at once,
// however long the grace; a client that has given it keeps the console.
TEST(ConsoleStranger, ASilentClientGivesWayToTheNextOne) {
  GracefulConsole console(120s);
  ASSERT_TRUE(console.listening);
  TestClient silent(console.port);
  ASSERT_TRUE(silent.waitReceived(6));

  TestClient next(console.port);
  ASSERT_TRUE(next.waitReceived(6));
  ASSERT_TRUE(silent.waitClosed());
  EXPECT_EQ(silent.received,
            "QRZ?\r\n\r\nAnother client has connected: this one had not given the password. "
            "Bye.\r\n");
  next.send("secret\r\n");
  ASSERT_TRUE(next.waitReceived(6 + 8 + testing::greetingFixture().size() + 2));
  next.send("PING\r\n");
  ASSERT_TRUE(next.waitReceived(6 + 8 + testing::greetingFixture().size() + 2 + 14));
  EXPECT_EQ(next.received,
            "QRZ?\r\n******\r\n" + testing::greetingFixture() + "\r\nPING\r\n<PING>\r\n");
  EXPECT_FALSE(next.closed);
}

TEST(ConsoleStranger, AClientThatGaveThePasswordIsNotReplaced) {
  GracefulConsole console(120s);
  ASSERT_TRUE(console.listening);
  TestClient operatorClient(console.port);
  ASSERT_TRUE(operatorClient.waitReceived(6));
  operatorClient.send("secret\r\n");
  const std::size_t afterPassword = 6 + 8 + testing::greetingFixture().size() + 2;
  ASSERT_TRUE(operatorClient.waitReceived(afterPassword));

  TestClient stranger(console.port);
  ASSERT_TRUE(stranger.waitClosed());
  EXPECT_EQ(stranger.received, "");

  operatorClient.send("PING\r\n");
  ASSERT_TRUE(operatorClient.waitReceived(afterPassword + 14));
  EXPECT_EQ(operatorClient.received.substr(afterPassword), "PING\r\n<PING>\r\n");
  EXPECT_FALSE(operatorClient.closed);
}

// Without a password only this machine may drive the station; the listening socket's own
// address says where it listens. Nothing here leaves the loopback.
TEST(ConsoleAddress, LoopbackOnlyWithoutPasswordEverywhereWithOne) {
  for (const char* password : {"", "secret"}) {
    SCOPED_TRACE(password);
    platform::RecordingMessageBox messages;
    ConsoleServer server(messages);
    server.session().setPassword(password);
    ::testing::internal::CaptureStderr();
    const quint16 port = testing::listenOnAnyPort(server);
    ASSERT_NE(port, 0);
    EXPECT_TRUE(server.listen(port));  // the reload's second request says nothing more
    const std::string said = ::testing::internal::GetCapturedStderr();
    if (*password == '\0') {
      EXPECT_EQ(server.ServerSocket1.serverAddress(), QHostAddress(QHostAddress::LocalHost));
      EXPECT_EQ(said, "zeltaro: the console has no password (/pass=): it listens on 127.0.0.1 port " +
                          std::to_string(port) + " only\n");
    } else {
      EXPECT_EQ(server.ServerSocket1.serverAddress(), QHostAddress(QHostAddress::Any));
      EXPECT_EQ(said, "");
    }
  }
}

// A plain blocking socket, so that connecting and closing happen without the event loop.
int rawConnect(quint16 port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(port);
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
    ::close(fd);
    return -1;
  }
  return fd;
}

TEST(ConsoleDeparture, ConnectCloseConnectLetsTheSecondClientIn) {
  testing::Console console("secret");
  ASSERT_TRUE(console.listening);
  int welcomed = 0;
  for (int i = 0; i < 100; ++i) {
    // The first client leaves before the server has seen it arrive; both arrivals and the
    // departure are then waiting together.
    const int first = rawConnect(console.port);
    ASSERT_GE(first, 0);
    ::close(first);
    TestClient second(console.port);
    ASSERT_TRUE(second.waitConnected());
    if (second.waitReceived(6, 3000) && second.received == "QRZ?\r\n") ++welcomed;
    second.socket.abort();
    waitUntil([&] { return !console.server.session().hasSession(); }, 3000);
  }
  EXPECT_EQ(welcomed, 100);
}

TEST(ConsoleDeparture, AResetIsReportedAsAnError) {
  testing::Console console("secret");
  ASSERT_TRUE(console.listening);
  const int fd = rawConnect(console.port);
  ASSERT_GE(fd, 0);
  ASSERT_TRUE(waitUntil([&] { return console.server.session().hasSession(); }));
  pumpFor(100);
  linger hard{1, 0};  // close with a reset
  setsockopt(fd, SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
  ::close(fd);
  ASSERT_TRUE(waitUntil([&] { return !console.server.session().hasSession(); }));
  ASSERT_EQ(console.messages.shown.size(), 1u);
  EXPECT_EQ(console.messages.shown[0].kind, platform::MessageBox::Kind::Error);
  EXPECT_EQ(console.messages.shown[0].caption, "ZELTARO");
  EXPECT_EQ(console.messages.shown[0].text, "Socket Error: Connection reset by peer.");
  EXPECT_EQ(console.server.session().edtStatus, "Disconnect");

  // An orderly close is a plain disconnect.
  TestClient polite(console.port);
  ASSERT_TRUE(polite.waitReceived(6));
  polite.socket.disconnectFromHost();
  ASSERT_TRUE(waitUntil([&] { return !console.server.session().hasSession(); }));
  EXPECT_EQ(console.messages.shown.size(), 1u);
}

}  // namespace
}  // namespace zeltaro::console
