// SPDX-License-Identifier: GPL-3.0-or-later
// The console over a real TCP client on 127.0.0.1: what the client sends, byte for byte what
// it gets back, and which lines reach the command set.

#include "console/console_server.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "console_fixture.h"
#include "text/codec.h"
#include "support/recorders.h"

namespace zeltaro::console {
namespace {

using testing::Console;
using ::testing::ElementsAre;
using testing::greetingFixture;
using ::testing::IsEmpty;
using testing::TestClient;
using testing::waitUntil;

const std::string G = greetingFixture();
const std::string kInvalidTooLong = "\r\n" + text::sj("    不正なコマンドです") + "\r\n\r\n";

struct Step {
  std::string send;    // sent as one packet, after everything before it has arrived
  std::string expect;  // what arrives for it
};

struct Row {
  const char* name;
  std::string password;
  std::vector<Step> steps;  // the first step's send is empty: it stands for connecting
  std::vector<std::string> lines;
  bool closed = false;
};

std::vector<Row> rows() {
  const std::string a999(999, 'A');
  const std::string hyo = text::sj("表");  // 95 5C: its trail byte is a backslash
  const std::string eq = text::sj("＝");   // 81 81: a trail byte that is also a lead byte
  return {
      {"GreetingWithoutPassword", "", {{"", G}}, {}},
      {"QrzWithPassword", "Secret", {{"", "QRZ?\r\n"}}, {}},
      {"TypedPasswordEchoesAsterisksThenGreetingAndExtraCrLf",
       "Secret",
       {{"", "QRZ?\r\n"},
        {"s", "*"},
        {"E", "*"},
        {"c", "*"},
        {"R", "*"},
        {"e", "*"},
        {"t", "*"},
        {"\r\n", "\r\n" + G + "\r\n"},
        {"V ON\r\n", "V ON\r\n<V ON>\r\n"}},
       {"V ON"}},
      {"PasswordInCapitals",
       "Secret",
       {{"", "QRZ?\r\n"}, {"SECRET\r\n", "******\r\n" + G + "\r\n"}},
       {}},
      {"PasswordInSmallLettersEndedByCr",
       "Secret",
       {{"", "QRZ?\r\n"}, {"secret\r", "******\r\n" + G + "\r\n"}},
       {}},
      {"DoubleBytePasswordEchoesTwoAsterisksPerCharacter",
       hyo,
       {{"", "QRZ?\r\n"}, {hyo + "\r\n", "**\r\n" + G + "\r\n"}},
       {}},
      {"WrongPasswordClosesWithNothingMoreSent",
       "Secret",
       {{"", "QRZ?\r\n"}, {"Secrets\r\n", "*******\r\n"}},
       {},
       true},
      {"BackspaceWhileTypingVOn",
       "",
       {{"", G},
        {"V", "V"},
        {" ", " "},
        {"O", "O"},
        {"X", "X"},
        {"\b", "\b \b"},
        {"N", "N"},
        {"\r\n", "\r\n<V ON>\r\n"}},
       {"V ON"}},
      {"BackspaceRemovesWholeDoubleByteCharacter",
       "",
       {{"", G}, {"A " + hyo, "A " + hyo}, {"\b", "\b \b"}, {"B\r\n", "B\r\n<A B>\r\n"}},
       {"A B"}},
      {"BackspaceAfterSingleByteBehindDoubleByteCharacter",
       "",
       {{"", G}, {eq + "@\b\r\n", eq + "@\b \b\r\n<" + eq + ">\r\n"}},
       {eq}},
      {"BackspaceReachesIntoEarlierPacket",
       "",
       {{"", G}, {"RX", "RX"}, {"\b\r\n", "\b \b\r\n<R>\r\n"}},
       {"R"}},
      {"BackspaceOnEmptyInputDeletesNothing",
       "",
       {{"", G}, {"\b\bR\r\n", "\b \b\b \bR\r\n<R>\r\n"}},
       {"R"}},
      {"CursorKeysLeaveNoTrace",
       "",
       {{"", G}, {"V\x1b[D\x1b[C O\x1b[A\x1b[BN\r\n", "V ON\r\n<V ON>\r\n"}},
       {"V ON"}},
      {"ControlBytesAreDropped",
       "",
       {{"", G}, {std::string("\0V\x07 ON\r\n", 8), "V ON\r\n<V ON>\r\n"}},
       {"V ON"}},
      {"TwoCommandsInOnePacketRunAsOneLine",
       "",
       {{"", G}, {"M ON\r\nV ON\r\n", "M ON\r\nV ON\r\n<M ONV ON>\r\n"}},
       {"M ONV ON"}},
      {"LoneLfEchoesAsCrLf", "", {{"", G}, {"R\n", "R\r\n<R>\r\n"}}, {"R"}},
      {"LineSplitOverPackets",
       "",
       {{"", G}, {"V O", "V O"}, {"N\r\n", "N\r\n<V ON>\r\n"}},
       {"V ON"}},
      {"TooLongWithCrLfIsRejectedAndInputEmptied",
       "",
       {{"", G}, {a999 + "\r\n", a999 + "\r\n" + kInvalidTooLong}, {"R\r\n", "R\r\n<R>\r\n"}},
       {"R"}},
      {"ThousandBytesWithCrAloneRuns",
       "",
       {{"", G}, {a999 + "\r", a999 + "\r\n<" + a999 + ">\r\n"}},
       {a999}},
      {"TabInReplyBecomesBlank", "", {{"", G}, {"TAB\r\n", "TAB\r\nx y\r\n"}}, {"TAB"}},
      {"EmptyReplySendsNothingAndKeepsTheLine",
       "",
       {{"", G}, {"SILENT\r\n", "SILENT\r\n"}, {"R\r\n", "R\r\n<SILENTR>\r\n"}},
       {"SILENT", "SILENTR"}},
      {"QuitClosesWithoutReply", "", {{"", G}, {"Q\r\n", "Q\r\n"}}, {"Q"}, true},
  };
}

class ConsoleExchange : public ::testing::TestWithParam<Row> {};

TEST_P(ConsoleExchange, BytesReceivedAndLinesRun) {
  const Row& row = GetParam();
  Console console(row.password);
  ASSERT_TRUE(console.listening);
  TestClient client(console.port);
  ASSERT_TRUE(client.waitConnected());

  std::string expected;
  for (const Step& step : row.steps) {
    client.send(step.send);
    expected += step.expect;
    ASSERT_TRUE(client.waitReceived(expected.size()))
        << "step " << ::testing::PrintToString(step.send);
  }
  if (row.closed) {
    EXPECT_TRUE(client.waitClosed());
  } else {
    testing::pumpFor(50);  // nothing more may come
    EXPECT_FALSE(client.closed);
  }
  EXPECT_EQ(client.received, expected);
  EXPECT_EQ(console.executor.lines, row.lines);
}

INSTANTIATE_TEST_SUITE_P(Session, ConsoleExchange, ::testing::ValuesIn(rows()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ConsoleServer, SecondClientIsClosedAtOnceWhileTheSilentFirstKeepsWorking) {
  Console console;
  TestClient first(console.port);
  ASSERT_TRUE(first.waitReceived(G.size()));  // and then it sends nothing

  TestClient second(console.port);
  ASSERT_TRUE(second.waitClosed());
  EXPECT_EQ(second.received, "");

  first.send("R\r\n");
  ASSERT_TRUE(first.waitReceived(G.size() + 8));
  EXPECT_EQ(first.received, G + "R\r\n<R>\r\n");
  EXPECT_FALSE(first.closed);
}

TEST(ConsoleServer, HalfLineOfOneClientNeverLeadsTheNextClientsCommand) {
  Console console("pw");
  {
    TestClient first(console.port);
    ASSERT_TRUE(first.waitReceived(6));
    first.send("pw\r\n");
    ASSERT_TRUE(first.waitReceived(6 + 4 + G.size() + 2));
    first.send("V O");
    ASSERT_TRUE(first.waitReceived(6 + 4 + G.size() + 2 + 3));
    first.socket.disconnectFromHost();
    ASSERT_TRUE(waitUntil([&] { return !console.server.session().hasSession(); }));
  }
  TestClient second(console.port);
  ASSERT_TRUE(second.waitReceived(6));
  second.send("pw\r\n");  // the password alone, not "V Opw"
  ASSERT_TRUE(second.waitReceived(6 + 4 + G.size() + 2));
  second.send("R\r\n");
  ASSERT_TRUE(second.waitReceived(6 + 4 + G.size() + 2 + 8));
  EXPECT_EQ(second.received, "QRZ?\r\n**\r\n" + G + "\r\nR\r\n<R>\r\n");
  EXPECT_THAT(console.executor.lines, ElementsAre("R"));
}

TEST(ConsoleServer, ClientCanReconnectAfterQuitAndAfterWrongPassword) {
  Console console("pw");
  for (const char* attempt : {"bad\r\n", "pw\r\n"}) {
    TestClient client(console.port);
    ASSERT_TRUE(client.waitReceived(6));
    client.send(attempt);
    if (std::string(attempt) == "bad\r\n") {
      ASSERT_TRUE(client.waitClosed());
      EXPECT_EQ(client.received, "QRZ?\r\n***\r\n");
    } else {
      ASSERT_TRUE(client.waitReceived(6 + 4 + G.size() + 2));
      client.send("Q\r\n");
      ASSERT_TRUE(client.waitClosed());
      EXPECT_EQ(client.received, "QRZ?\r\n**\r\n" + G + "\r\nQ\r\n");
    }
  }
}

TEST(ConsoleServer, StatusShowsEachServerEventInOrder) {
  platform::RecordingMessageBox messages;
  ConsoleServer server(messages);
  std::vector<std::string> events;
  server.session().setStatusListener([&](const std::string& e) { events.push_back(e); });
  testing::TestExecutor executor;
  server.session().setExecutor(&executor);
  ASSERT_NE(testing::listenOnAnyPort(server), 0);

  TestClient first(server.port());
  ASSERT_TRUE(first.waitReceived(G.size()));
  ASSERT_TRUE(waitUntil([&] { return events.size() >= 5; }));
  TestClient second(server.port());
  ASSERT_TRUE(second.waitClosed());
  ASSERT_TRUE(waitUntil([&] { return events.size() >= 9; }));
  first.send("R\r\n");
  ASSERT_TRUE(first.waitReceived(G.size() + 8));
  first.socket.disconnectFromHost();
  ASSERT_TRUE(waitUntil([&] { return !server.session().hasSession(); }));

  EXPECT_THAT(events, ElementsAre("Listen", "GetSocket", "Connect", "Accept", "Write",  //
                                  "GetSocket", "Connect", "Accept", "Disconnect",       //
                                  "Read", "Disconnect"));
  EXPECT_EQ(server.session().edtStatus, "Disconnect");
}

TEST(ConsoleServer, ListeningAgainOnItsPortLeavesSocketAndSessionAsTheyAre) {
  Console console;
  TestClient client(console.port);
  ASSERT_TRUE(client.waitReceived(G.size()));

  EXPECT_TRUE(console.server.listen(console.port));
  EXPECT_TRUE(console.server.listen(0));  // the console port is never switched off
  EXPECT_THAT(console.messages.shown, IsEmpty());
  EXPECT_EQ(console.server.port(), console.port);

  client.send("R\r\n");
  ASSERT_TRUE(client.waitReceived(G.size() + 8));
  EXPECT_EQ(client.received, G + "R\r\n<R>\r\n");
}

TEST(ConsoleServer, PortInUseIsReportedAndTheConsoleStaysOff) {
  QTcpServer occupant;
  ASSERT_TRUE(occupant.listen(QHostAddress::LocalHost, 0));
  const quint16 port = occupant.serverPort();

  platform::RecordingMessageBox messages;
  ConsoleServer server(messages);
  EXPECT_FALSE(server.listen(port));
  EXPECT_FALSE(server.isListening());
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].kind, platform::MessageBox::Kind::Error);
  EXPECT_THAT(messages.shown[0].text,
              ::testing::StartsWith(text::sj("TELNETポート ") + std::to_string(port) + " "));

  // The reload asks again; once the port is free the console comes up.
  occupant.close();
  EXPECT_TRUE(server.listen(port));
  TestClient client(port);
  ASSERT_TRUE(client.waitReceived(G.size()));
  EXPECT_EQ(client.received, G);
}

TEST(ConsoleServer, OffWithoutPort) {
  platform::RecordingMessageBox messages;
  ConsoleServer server(messages);
  EXPECT_FALSE(server.listen(0));
  EXPECT_FALSE(server.isListening());
  EXPECT_THAT(messages.shown, IsEmpty());
}

TEST(ConsoleServer, InputDuringACommandWaitsForItsReply) {
  Console console;
  TestClient client(console.port);
  ASSERT_TRUE(client.waitReceived(G.size()));
  // "T U1" lets the event loop run, as a page check does; the client types on meanwhile.
  console.executor.whileRunning = [&](std::string_view line) {
    if (line != "T U1") return;
    ASSERT_TRUE(client.waitReceived(G.size() + 6));  // its echo went out before it ran
    client.send("R\r\n");
    testing::pumpFor(200);
  };
  client.send("T U1\r\n");
  ASSERT_TRUE(client.waitReceived(G.size() + 6 + 8 + 3 + 5));
  testing::pumpFor(50);
  EXPECT_EQ(client.received, G + "T U1\r\n<T U1>\r\nR\r\n<R>\r\n");
  EXPECT_THAT(console.executor.lines, ElementsAre("T U1", "R"));
}

TEST(ConsoleServer, ReplyOfACommandWhoseClientLeftNeverReachesTheNextClient) {
  Console console;
  auto first = std::make_unique<TestClient>(console.port);
  ASSERT_TRUE(first->waitReceived(G.size()));
  std::unique_ptr<TestClient> second;
  console.executor.whileRunning = [&](std::string_view) {
    first->socket.abort();
    ASSERT_TRUE(waitUntil([&] { return !console.server.session().hasSession(); }));
    second = std::make_unique<TestClient>(console.port);
    ASSERT_TRUE(second->waitReceived(G.size()));
  };
  first->send("T U2\r\n");
  ASSERT_TRUE(waitUntil([&] { return second != nullptr && console.executor.lines.size() == 1; }));
  console.executor.whileRunning = nullptr;
  testing::pumpFor(100);
  EXPECT_EQ(second->received, G);

  second->send("R\r\n");
  ASSERT_TRUE(second->waitReceived(G.size() + 8));
  EXPECT_EQ(second->received, G + "R\r\n<R>\r\n");
}

TEST(ConsoleServer, LargeReplyArrivesWholeAndInOrder) {
  Console console;
  std::string big;
  for (int i = 0; big.size() < 8 * 1024 * 1024; ++i) big += "line " + std::to_string(i) + "\r\n";
  struct BigExecutor final : CommandExecutor {
    std::string reply;
    std::string execute(std::string_view line, SessionControl&) override {
      return line == "BIG" ? reply : "<" + std::string(line) + ">";
    }
  } executor;
  executor.reply = big;
  console.server.session().setExecutor(&executor);

  TestClient client(console.port);
  ASSERT_TRUE(client.waitReceived(G.size()));
  client.send("BIG\r\n");
  ASSERT_TRUE(client.waitReceived(G.size() + 5));
  client.send("R\r\n");  // its echo queues up behind the big reply
  const std::string expected = G + "BIG\r\n" + big + "\r\n" + "R\r\n<R>\r\n";
  ASSERT_TRUE(client.waitReceived(expected.size(), 60000));
  EXPECT_TRUE(client.received == expected)
      << "received " << client.received.size() << " of " << expected.size() << " bytes";
}

}  // namespace
}  // namespace zeltaro::console
