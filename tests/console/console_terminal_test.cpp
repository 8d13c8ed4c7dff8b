// SPDX-License-Identifier: GPL-3.0-or-later
// What ordinary terminals send and expect: telnet option negotiation and DEL for Backspace from
// any client, and, with the console switched to UTF-8, UTF-8 both ways over the CP932 session.
// A real TCP client on 127.0.0.1 against the console server.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "console_fixture.h"
#include "text/codec.h"

namespace zeltaro::console {
namespace {

using testing::Console;
using testing::greetingFixture;
using testing::pumpFor;
using testing::TestClient;
using text::sj;
using text::utf8FromCp932;

constexpr char kIAC = '\xFF';
const std::string kDoEcho = {kIAC, '\xFD', '\x01'};
const std::string kWillSga = {kIAC, '\xFB', '\x03'};
const std::string kWontLinemode = {kIAC, '\xFC', '\x22'};
// IAC SB TERMINAL-TYPE IS "xterm" IAC SE
const std::string kTermType = std::string{kIAC, '\xFA', '\x18', '\x00'} + "xterm" + kIAC + '\xF0';

// Connects a client and takes the greeting away.
struct Connected {
  explicit Connected(bool utf8) {
    console.server.session().setUtf8(utf8);
    EXPECT_TRUE(client.waitConnected());
    const std::string greeting = utf8 ? utf8FromCp932(greetingFixture()) : greetingFixture();
    client.waitReceived(greeting.size());
    EXPECT_EQ(client.received, greeting);
    client.received.clear();
  }
  // Sends each chunk on its own, letting the server read it before the next.
  std::string feed(const std::vector<std::string>& chunks, std::size_t expect) {
    for (const std::string& c : chunks) {
      client.send(c);
      pumpFor(30);
    }
    client.waitReceived(expect);
    pumpFor(50);
    return client.received;
  }

  Console console;
  TestClient client{console.port};
};

TEST(ConsoleTerminal, NegotiationIsStrippedAndDelErasesInEveryMode) {
  struct Row {
    const char* name;
    std::vector<std::string> chunks;
    std::string echo;  // what the client sees before the reply
    std::string line;  // the command that runs
  };
  const Row rows[] = {
      {"NegotiationAheadOfTheCommand",
       {kDoEcho + kWillSga + kWontLinemode + kTermType + "R\r\n"},
       "R\r\n",
       "R"},
      {"NegotiationInsideTheLine",
       {"V " + kDoEcho + "ON" + kTermType + "\r\n"},
       "V ON\r\n",
       "V ON"},
      {"DelAsBackspace", {"V OX\x7FN\r\n"}, "V OX\b \bN\r\n", "V ON"},
      {"CommandSplitAcrossReads",
       {std::string{kIAC}, std::string{'\xFA'}, "\x18\x00xte", std::string{"rm"} + kIAC,
        std::string{'\xF0'} + "V O", std::string{kIAC}, std::string{'\xFD'}, "\x01N\r\n"},
       "V ON\r\n",
       "V ON"},
      // IAC IAC (a data byte 0xFF) is no text either; IAC NOP is a bare command.
      {"EscapedIacAndBareCommand",
       {std::string{kIAC, kIAC} + "R" + kIAC + '\xF1' + "\r\n"},
       "R\r\n",
       "R"},
      {"DelOverADoubleByteCharacter",
       {"A 1 " + sj("東京") + "\x7F" + sj("都") + "\r\n"},
       "A 1 " + sj("東京") + "\b \b" + sj("都") + "\r\n",
       "A 1 " + sj("東都")},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    Connected c(false);
    const std::string reply = "<" + r.line + ">\r\n";
    // Echoes come one per read; joined they are the row's echo.
    EXPECT_EQ(c.feed(r.chunks, r.echo.size() + reply.size()), r.echo + reply);
    EXPECT_EQ(c.console.executor.lines, std::vector<std::string>{r.line});
  }
}

TEST(ConsoleTerminal, Utf8ClientTypesJapaneseThatRunsAsCp932) {
  Connected c(true);
  const std::string tokyo = "東京";  // UTF-8 in this source: E6 9D B1 E4 BA AC
  // The second character arrives in two reads; Backspace removes a whole double-byte character
  // and a UTF-8 terminal is told to blank two columns for it.
  const std::string got =
      c.feed({"A 1 " + tokyo.substr(0, 4), tokyo.substr(4) + "都", "\x08X\x7F\r\n"},
             std::string("A 1 東京都\b\b  \b\bX\b \b\r\n<A 1 東京>\r\n").size());
  EXPECT_EQ(got, "A 1 東京都\b\b  \b\bX\b \b\r\n<A 1 東京>\r\n");
  EXPECT_EQ(c.console.executor.lines, std::vector<std::string>{"A 1 " + sj("東京")});
}

TEST(ConsoleTerminal, Utf8LineLimitCountsCp932Bytes) {
  // 500 kanji are 1500 UTF-8 bytes but 1000 CP932 bytes: with CR that is 1001 and too long;
  // 499 kanji and one letter (999 bytes) with CR is 1000 and runs.
  std::string kanji;
  for (int i = 0; i < 499; ++i) kanji += "漢";
  {
    Connected c(true);
    const std::string reply = "\r\n    不正なコマンドです\r\n\r\n";
    const std::string sent = kanji + "漢\r";
    EXPECT_EQ(c.feed({sent}, sent.size() + 1 + reply.size()), kanji + "漢\r\n" + reply);
    EXPECT_TRUE(c.console.executor.lines.empty());
  }
  {
    Connected c(true);
    const std::string sent = kanji + "X\r";
    const std::string reply = "<" + kanji + "X>\r\n";
    EXPECT_EQ(c.feed({sent}, sent.size() + 1 + reply.size()), kanji + "X\r\n" + reply);
    EXPECT_EQ(c.console.executor.lines, std::vector<std::string>{sj(kanji + "X")});
  }
}

TEST(ConsoleTerminal, WithoutTheSwitchBytesPassAsCp932) {
  Connected c(false);
  const std::string line = "A 1 " + sj("東京");
  EXPECT_EQ(c.feed({line + "\r\n"}, 2 * line.size() + 6), line + "\r\n<" + line + ">\r\n");
  EXPECT_EQ(c.console.executor.lines, std::vector<std::string>{line});
}

TEST(ConsoleTerminal, Utf8PasswordEchoesAsterisksPerCp932Byte) {
  Console console(sj("秘密"));
  console.server.session().setUtf8(true);
  TestClient client(console.port);
  ASSERT_TRUE(client.waitConnected());
  client.waitReceived(6);
  EXPECT_EQ(client.received, "QRZ?\r\n");
  const std::string welcome = "****\r\n" + utf8FromCp932(greetingFixture()) + "\r\n";
  EXPECT_EQ(testing::exchange(client, "秘密\r\n", welcome), welcome);
}

}  // namespace
}  // namespace zeltaro::console
