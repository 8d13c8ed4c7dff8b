// SPDX-License-Identifier: GPL-3.0-or-later
// The console under abuse: floods, clients that do not read, many short connections. The
// server must keep serving with its buffers bounded.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

#include "console/console_server.h"
#include "console_fixture.h"

namespace zeltaro::console {
namespace {

using testing::Console;
using testing::greetingFixture;
using testing::TestClient;
using testing::waitUntil;

const std::string G = greetingFixture();

// One chunk's echo can be three times the chunk (each BS echoes three bytes), plus one reply.
constexpr std::size_t kBacklogBound = kMaxOutputBacklog + 3 * kReadBufferSize + 4096;

std::string randomBytes(std::size_t n, unsigned seed) {
  std::mt19937 gen(seed);
  std::uniform_int_distribution<int> byte(0, 255);
  std::string s(n, '\0');
  for (char& c : s) c = static_cast<char>(byte(gen));
  return s;
}

// Waits until nothing more arrives for a while.
void settle(TestClient& client) {
  for (std::size_t seen = std::string::npos; seen != client.received.size();) {
    seen = client.received.size();
    testing::pumpFor(300);
  }
}

// Ends whatever the flood left pending with a line end, then "R": the console still answers.
void expectStillServing(TestClient& client) {
  settle(client);
  client.send("\r\n");
  settle(client);
  const std::size_t before = client.received.size();
  client.send("R\r\n");
  ASSERT_TRUE(client.waitReceived(before + 8));
  testing::pumpFor(50);
  EXPECT_EQ(client.received.substr(before), "R\r\n<R>\r\n");
  EXPECT_FALSE(client.closed);
}

struct Peak {
  std::size_t pending = 0, held = 0, backlog = 0;
  void sample(ConsoleServer& server) {
    pending = std::max(pending, server.session().PendingInput.size());
    held = std::max(held, server.session().heldInputSize());
    backlog = std::max(backlog, server.outputBacklog());
  }
};

TEST(ConsoleRobustness, TenMegabytesOfRandomBytesInOneSession) {
  Console console;
  TestClient client(console.port);
  ASSERT_TRUE(client.waitReceived(G.size()));

  const std::string flood = randomBytes(10 * 1024 * 1024, 7);
  Peak peak;
  for (std::size_t off = 0; off < flood.size(); off += 64 * 1024) {
    client.send(std::string_view(flood).substr(off, 64 * 1024));
    // Keep the client's own queue short, so that the flood really reaches the server.
    ASSERT_TRUE(waitUntil(
        [&] {
          peak.sample(console.server);
          return client.socket.bytesToWrite() < 256 * 1024;
        },
        30000));
  }
  ASSERT_TRUE(waitUntil(
      [&] {
        peak.sample(console.server);
        return client.socket.bytesToWrite() == 0;
      },
      30000));
  testing::pumpFor(300);

  EXPECT_FALSE(client.closed);
  EXPECT_LE(peak.pending, kMaxPendingInput);
  EXPECT_EQ(peak.held, 0u);
  EXPECT_LE(peak.backlog, kBacklogBound);
  expectStillServing(client);
}

TEST(ConsoleRobustness, ClientThatFloodsWithoutReadingIsThrottledNotBuffered) {
  Console console;
  TestClient client(console.port);
  ASSERT_TRUE(client.waitReceived(G.size()));
  client.pauseReading();

  // Printable text without line ends: all of it echoes back and nobody takes the echo.
  std::string flood(8 * 1024 * 1024, 'x');
  client.send(flood);
  Peak peak;
  waitUntil(
      [&] {
        peak.sample(console.server);
        return false;
      },
      2000);
  EXPECT_GT(client.socket.bytesToWrite(), 0) << "the flood should be held back in the client";
  EXPECT_LE(peak.backlog, kBacklogBound);
  EXPECT_LE(peak.pending, kMaxPendingInput);

  client.resumeReading();
  ASSERT_TRUE(waitUntil(
      [&] {
        peak.sample(console.server);
        return client.socket.bytesToWrite() == 0 && console.server.outputBacklog() == 0;
      },
      60000));
  testing::pumpFor(200);
  EXPECT_LE(peak.backlog, kBacklogBound);
  // Every byte was taken and echoed in order, with the invalid-command replies between.
  EXPECT_EQ(std::count(client.received.begin() + static_cast<std::ptrdiff_t>(G.size()),
                       client.received.end(), 'x'),
            static_cast<std::ptrdiff_t>(flood.size()));
  expectStillServing(client);
}

TEST(ConsoleRobustness, ThousandConnectDisconnectCycles) {
  Console console("pw");
  for (int i = 0; i < 1000; ++i) {
    TestClient client(console.port);
    ASSERT_TRUE(client.waitReceived(6)) << "cycle " << i;
    ASSERT_EQ(client.received, "QRZ?\r\n") << "cycle " << i;
    if (i % 2 == 1) client.send("p");  // half a password left behind
    client.socket.disconnectFromHost();
    ASSERT_TRUE(waitUntil([&] { return !console.server.session().hasSession(); })) << i;
  }
  testing::pumpFor(100);
  // Closed client sockets do not pile up inside the server.
  EXPECT_LE(console.server.ServerSocket1.findChildren<QTcpSocket*>().size(), 1);

  TestClient client(console.port);
  ASSERT_TRUE(client.waitReceived(6));
  client.send("pw\r\n");
  ASSERT_TRUE(client.waitReceived(6 + 4 + G.size() + 2));
  EXPECT_EQ(client.received, "QRZ?\r\n**\r\n" + G + "\r\n");
}

}  // namespace
}  // namespace zeltaro::console
