// SPDX-License-Identifier: GPL-3.0-or-later
// The session core on its own, where the order of events inside a running command matters:
// input and connections that come and go while the command set works.

#include "console/console_session.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "text/codec.h"

namespace zeltaro::console {
namespace {

using ::testing::ElementsAre;

struct FakeConnection final : Connection {
  void send(std::string_view bytes) override { sent.emplace_back(bytes); }
  void close() override { closed = true; }
  std::vector<std::string> sent;
  bool closed = false;
};

struct ScriptedExecutor final : CommandExecutor {
  std::string execute(std::string_view line, SessionControl& session) override {
    lines.emplace_back(line);
    if (during) {
      auto once = std::move(during);
      during = nullptr;
      once(session);
    }
    return "<" + std::string(line) + ">";
  }
  std::vector<std::string> lines;
  std::function<void(SessionControl&)> during;
};

struct Fixture {
  Fixture() {
    session.setExecutor(&executor);
    session.accept(client);
    client.sent.clear();  // the greeting
  }
  ScriptedExecutor executor;
  ConsoleSession session;
  FakeConnection client;
};

TEST(ConsoleSession, InputArrivingDuringACommandRunsAfterItsReply) {
  Fixture f;
  f.executor.during = [&](SessionControl&) {
    f.session.receive("V ");
    f.session.receive("ON\r\n");
  };
  f.session.receive("T U1\r\n");
  EXPECT_THAT(f.client.sent, ElementsAre("T U1\r\n", "<T U1>\r\n", "V ON\r\n", "<V ON>\r\n"));
  EXPECT_THAT(f.executor.lines, ElementsAre("T U1", "V ON"));
  EXPECT_EQ(f.session.PendingInput, "");
}

TEST(ConsoleSession, FloodDuringACommandIsBoundedAndAnsweredAsTooLong) {
  Fixture f;
  f.executor.during = [&](SessionControl&) {
    for (int i = 0; i < 100; ++i) f.session.receive(std::string(10000, 'x'));
    EXPECT_LE(f.session.heldInputSize(), kMaxHeldInput);
  };
  f.session.receive("T U1\r\n");
  ASSERT_EQ(f.client.sent.size(), 4u);
  EXPECT_EQ(f.client.sent[1], "<T U1>\r\n");
  EXPECT_EQ(f.client.sent[2], std::string(kMaxHeldInput, 'x'));
  EXPECT_EQ(f.client.sent[3], "\r\n" + text::sj("    不正なコマンドです") + "\r\n\r\n");
  EXPECT_EQ(f.session.PendingInput, "");
  EXPECT_EQ(f.session.heldInputSize(), 0u);
}

TEST(ConsoleSession, ReplyForALeftClientNeverReachesItsSuccessor) {
  Fixture f;
  FakeConnection next;
  f.executor.during = [&](SessionControl&) {
    f.session.receive("R");  // typed by the old client before it left
    f.session.disconnected(f.client);
    f.session.accept(next);
  };
  f.session.receive("T U3\r\n");
  EXPECT_THAT(f.client.sent, ElementsAre("T U3\r\n"));
  ASSERT_EQ(next.sent.size(), 1u);  // the greeting and nothing else
  EXPECT_EQ(next.sent[0].substr(0, 2), "\r\n");
  EXPECT_EQ(f.session.PendingInput, "");

  next.sent.clear();
  f.session.receive("M ON\r\n");
  EXPECT_THAT(next.sent, ElementsAre("M ON\r\n", "<M ON>\r\n"));
}

TEST(ConsoleSession, QuitFromTheCommandSetClosesAndDropsWhatWasTypedAhead) {
  Fixture f;
  f.executor.during = [&](SessionControl& control) {
    f.session.receive("V ON\r\n");
    control.ClearPendingInput();
    control.CloseSession();
  };
  f.session.receive("Q\r\n");
  EXPECT_TRUE(f.client.closed);
  EXPECT_THAT(f.client.sent, ElementsAre("Q\r\n"));
  EXPECT_THAT(f.executor.lines, ElementsAre("Q"));
  EXPECT_FALSE(f.session.hasSession());
}

}  // namespace
}  // namespace zeltaro::console
