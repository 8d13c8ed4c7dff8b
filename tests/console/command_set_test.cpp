// SPDX-License-Identifier: GPL-3.0-or-later
// The command set on a real main window model, driven by a real TCP client on 127.0.0.1: each
// row sends a line and compares everything that comes back (the echo, then the reply) byte for
// byte, and then the model the command acted on.

#include "console/command_set.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "alerts/sound_alert.h"
#include "app/console_binding.h"
#include "app/main_model.h"
#include "app/spot_page.h"
#include "console/remote_console.h"
#include "console_fixture.h"
#include "platform/file_dialog.h"
#include "platform/message_box.h"
#include "platform/sound.h"
#include "text/codec.h"
#include "support/fake_http_client.h"
#include "support/main_services.h"
#include "support/recorders.h"

namespace zeltaro::console {
namespace {

using testing::greetingFixture;
using testing::pumpFor;
using testing::TestClient;
using testing::waitUntil;
using zeltaro::text::sj;

const std::string G = greetingFixture();
const std::string kInvalid = sj("    不正なコマンドです\r\n");
const std::string kUrl1 = "http://127.0.0.1:1/one.html";

// A model with fakes behind it, its console started the way the program starts it (the
// command line's /telnet= through the start-up sequence), and one connected client.
class CommandSetTest : public ::testing::Test, protected zeltaro::testing::FakeMainServices {
 protected:
  CommandSetTest() : model(services()) {}

  void SetUp() override {
    model.pageChecks.edtURL[0] = kUrl1;
    {
      testing::AnyConsolePort any;
      model.startUp({"/opt/zeltaro/zeltaro", "/telnet=23"});
    }
    ASSERT_TRUE(remote.server().isListening());
    port = remote.server().port();
    connect();
  }

  void connect() {
    client = std::make_unique<TestClient>(port);
    ASSERT_TRUE(client->waitReceived(G.size()));
    ASSERT_EQ(client->received, G);
    client->received.clear();
  }

  void setLists(const std::string& l1, const std::string& l2, const std::string& l3) {
    model.watchLists.Memo_List[0] = l1;
    model.watchLists.Memo_List[1] = l2;
    model.watchLists.Memo_List[2] = l3;
  }

  // Sends line and CR LF; returns all that arrives for it (the echo, the reply and its CR LF).
  std::string send(const std::string& line, std::size_t expectedSize) {
    client->received.clear();
    client->send(line + "\r\n");
    waitUntil([&] { return client->received.size() >= expectedSize || client->closed; });
    pumpFor(30);  // anything beyond the expected bytes would show up now
    return client->received;
  }
  // What a line must bring back: its echo, then the reply framed with CR LF.
  static std::string framed(const std::string& line, const std::string& reply) {
    return line + "\r\n" + reply + "\r\n";
  }
  void expectReply(const std::string& line, const std::string& reply) {
    const std::string expected = framed(line, reply);
    EXPECT_EQ(send(line, expected.size()), expected) << "line: " << line;
  }

  app::MainModel model;
  app::ConsoleBinding binding{model};
  RemoteConsole remote{binding, box};
  quint16 port = 0;
  std::unique_ptr<TestClient> client;
};

// ---------------------------------------------------------------- watch-list commands

struct ListRow {
  const char* name;
  std::vector<std::string> before;  // lists 1, 2, 3
  std::string line;
  std::string reply;
  std::vector<std::string> after;
};

class ListCommands : public CommandSetTest, public ::testing::WithParamInterface<ListRow> {};

TEST_P(ListCommands, ReplyAndLists) {
  const ListRow& r = GetParam();
  setLists(r.before[0], r.before[1], r.before[2]);
  expectReply(r.line, r.reply);
  EXPECT_EQ(model.watchLists.Memo_List[0], r.after[0]);
  EXPECT_EQ(model.watchLists.Memo_List[1], r.after[1]);
  EXPECT_EQ(model.watchLists.Memo_List[2], r.after[2]);
}

const std::string kAdded1 = sj("    List1に追加しました\r\n");
const std::string kDisabled = sj("    無効にしました ");
const std::string kEnabled = sj("    有効にしました ");
const std::string kKilled = sj("    無効データを削除しました ");
const std::string kKen = sj("件");

std::vector<ListRow> listRows() {
  const std::vector<std::string> mixed = {"JA1AAA\r\nJA2BBB\r\n", "ja1ccc cw\r\n*JA1DDD\r\n",
                                          "XX\r\nJa1eee\r\n"};
  const std::vector<std::string> mixedOff = {"*JA1AAA\r\nJA2BBB\r\n", "*ja1ccc cw\r\n*JA1DDD\r\n",
                                             "XX\r\n*Ja1eee\r\n"};
  return {
      {"AddToEmptyListIsLineOneAsTypedInSmallLetters",
       {"", "", ""},
       "a 1 stn1  Cw",
       kAdded1 + "    List1   1: stn1  Cw\r\n",
       {"stn1  Cw\r\n", "", ""}},
      {"AddAppendsAsLastLine",
       {"", "A\r\nB\r\n", ""},
       "A 2 JA1XYZ",
       sj("    List2に追加しました\r\n") + "    List2   3: JA1XYZ\r\n",
       {"", "A\r\nB\r\nJA1XYZ\r\n", ""}},
      {"AddWithNothingAfterTheDigitIsNoCommand", {"", "", ""}, "A 1 ", kInvalid, {"", "", ""}},
      // An entry that is already disabled never matches a disabling pattern.
      {"DisableInAllListsAnyCase", mixed, "c 0 ja1",
       kDisabled + "3" + kKen +
           "\r\n    List1   1: *JA1AAA\r\n    List2   1: *ja1ccc cw\r\n    List3   2: *Ja1eee\r\n",
       mixedOff},
      {"EnableInAllListsAnyCase",
       mixedOff,
       "C 0 *JA1",
       kEnabled + "4" + kKen +
           "\r\n    List1   1: JA1AAA\r\n    List2   1: ja1ccc cw\r\n    List2   2: JA1DDD\r\n"
           "    List3   2: Ja1eee\r\n",
       {"JA1AAA\r\nJA2BBB\r\n", "ja1ccc cw\r\nJA1DDD\r\n", "XX\r\nJa1eee\r\n"}},
      {"DisableOnlyTheNamedList",
       mixed,
       "C 3 JA1",
       kDisabled + "1" + kKen + "\r\n    List3   2: *Ja1eee\r\n",
       {mixed[0], mixed[1], mixedOff[2]}},
      {"DisableNothingMatches", mixed, "C 2 XYZ", sj("    無効にするデータはありません\r\n"),
       mixed},
      {"EnableNothingMatches", mixed, "C 1 *JA9", sj("    有効にするデータはありません\r\n"),
       mixed},
      {"EnableWithStarAloneIsNoCommand", mixedOff, "C 1 *", kInvalid, mixedOff},
      {"KillListTwoInAscendingOrderWithOldNumbers",
       {"*keep\r\n", "*A\r\nB\r\n*C D\r\nE\r\n*F\r\n", ""},
       "Z KILL 2",
       kKilled + "3" + kKen +
           "\r\n    List2   1: *A\r\n    List2   3: *C D\r\n    List2   5: *F\r\n",
       {"*keep\r\n", "B\r\nE\r\n", ""}},
      {"KillAllListsReadsInListOrder",
       {"*x\r\n", "y\r\n", "*z1\r\nw\r\n*z2\r\n"},
       "z kill 0",
       kKilled + "3" + kKen +
           "\r\n    List1   1: *x\r\n    List3   1: *z1\r\n    List3   3: *z2\r\n",
       {"", "y\r\n", "w\r\n"}},
      {"KillNothingToDelete",
       {"a\r\n", "", ""},
       "Z KILL 1",
       sj("    削除する無効データはありません\r\n"),
       {"a\r\n", "", ""}},
      // The entries lose their blanks for the comparison, the pattern keeps them.
      {"KillPatternWithBlankInsideNeverMatches",
       {"*JA1ABC\r\n*ja1 abc\r\n", "", ""},
       "Z KILL 1 *ja1 abc",
       sj("    削除する無効データはありません\r\n"),
       {"*JA1ABC\r\n*ja1 abc\r\n", "", ""}},
      {"KillPatternMatchesWholeEntryCaseAndBlanksAside",
       {"*JA1ABC\r\n*JA1ABCD\r\n*ja1 abc \r\nJA1ABC\r\n", "", ""},
       "Z KILL 1 *ja1abc  ",
       kKilled + "2" + kKen + "\r\n    List1   1: *JA1ABC\r\n    List1   3: *ja1 abc \r\n",
       {"*JA1ABCD\r\nJA1ABC\r\n", "", ""}},
      {"KillWithStarAloneIsNoCommand",
       {"*a\r\n", "", ""},
       "Z KILL 1 *",
       kInvalid,
       {"*a\r\n", "", ""}},
  };
}

INSTANTIATE_TEST_SUITE_P(Console, ListCommands, ::testing::ValuesIn(listRows()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(CommandSetTest, ListEditsRunTheChangeHandlerSoTheCounterFollows) {
  setLists("", "", "");
  model.watchLists.refreshCounter(1);
  expectReply("A 1 JA1AAA", kAdded1 + "    List1   1: JA1AAA\r\n");
  EXPECT_EQ(model.watchLists.LabelList[0], "   1(1/0)");
  expectReply("C 1 JA1", kDisabled + "1" + kKen + "\r\n    List1   1: *JA1AAA\r\n");
  EXPECT_EQ(model.watchLists.LabelList[0], "   1(0/1)");
  expectReply("Z KILL 1", kKilled + "1" + kKen + "\r\n    List1   1: *JA1AAA\r\n");
  EXPECT_EQ(model.watchLists.LabelList[0], "   0(0/0)");
}

// ---------------------------------------------------------------- display of the lists

struct DisplayRow {
  const char* name;
  std::string line;
  std::string reply;
};

class DisplayCommands : public CommandSetTest, public ::testing::WithParamInterface<DisplayRow> {};

TEST_P(DisplayCommands, Reply) {
  setLists("AB\r\n*CD\r\n*AX\r\n", "ab cw\r\n", "");
  expectReply(GetParam().line, GetParam().reply);
}

std::vector<DisplayRow> displayRows() {
  const std::string data = sj("    データ ");
  const std::string data2 = sj("    データ  ");
  const std::string on = sj("有効"), off = sj("無効"), ken = sj("件");
  return {
      {"OneListStarShowsDisabledOnly", "D 1 *",
       sj("    List1データ\r\n") + "    List1   2: *CD\r\n    List1   3: *AX\r\n\r\n" + data2 +
           "  2" + ken + "\r\n    List1: " + off + "  2" + ken + "  (  3)\r\n"},
      {"OneListWithoutPatternShowsBothCounts", "d 1",
       sj("    List1データ\r\n") +
           "    List1   1: AB\r\n    List1   2: *CD\r\n    List1   3: *AX\r\n\r\n" + data2 + "  3" +
           ken + "\r\n    List1: " + on + "  1" + ken + "  " + off + "  2" + ken + "  (  3)\r\n"},
      {"OneListPatternInAnyCase", "D 2 AB",
       sj("    List2データ\r\n") + "    List2   1: ab cw\r\n\r\n" + data2 + "  1" + ken +
           "\r\n    List2: " + on + "  1" + ken + "  (  1)\r\n"},
      {"EmptyListStillHasHeaderAndSummary", "D 3",
       sj("    List3データ\r\n") + "\r\n" + data2 + "  0" + ken + "\r\n    List3: " + on + "  0" +
           ken + "  " + off + "  0" + ken + "  (  0)\r\n"},
      {"AllListsWithoutPattern", "D 0",
       sj("    データ表示\r\n") +
           "    List1   1: AB\r\n    List1   2: *CD\r\n    List1   3: *AX\r\n"
           "    List2   1: ab cw\r\n\r\n" +
           data + "  4" + ken + "                 (  4)\r\n    List1: " + on + "  1" + ken + "  " +
           off + "  2" + ken + "  (  3)\r\n    List2: " + on + "  1" + ken + "  " + off + "  0" +
           ken + "  (  1)\r\n    List3: " + on + "  0" + ken + "  " + off + "  0" + ken +
           "  (  0)\r\n"},
      {"AllListsWithPattern", "D 0 a",
       sj("    データ表示\r\n") + "    List1   1: AB\r\n    List2   1: ab cw\r\n\r\n" + data +
           "  2" + ken + "      (  4)\r\n    List1: " + on + "  1" + ken +
           "  (  3)\r\n    List2: " + on + "  1" + ken + "  (  1)\r\n    List3: " + on + "  0" +
           ken + "  (  0)\r\n"},
      {"AllListsWithStarPattern", "D 0 *a",
       sj("    データ表示\r\n") + "    List1   3: *AX\r\n\r\n" + data + "  1" + ken +
           "      (  4)\r\n    List1: " + off + "  1" + ken + "  (  3)\r\n    List2: " + off +
           "  0" + ken + "  (  1)\r\n    List3: " + off + "  0" + ken + "  (  0)\r\n"},
      {"DigitOutOfRange", "D 4", kInvalid},
      {"PatternWithoutText", "D 0 ", kInvalid},
      {"NoBlankBeforePattern", "D 1AB", kInvalid},
      {"LogWithoutBlank", "D LOGS", kInvalid},
  };
}

INSTANTIATE_TEST_SUITE_P(Console, DisplayCommands, ::testing::ValuesIn(displayRows()),
                         [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------- display of the log

struct LogRow {
  const char* name;
  std::vector<std::string> log;  // Memo_Log2
  std::string line;
  std::string reply;
};

class LogDisplay : public CommandSetTest, public ::testing::WithParamInterface<LogRow> {};

TEST_P(LogDisplay, Reply) {
  model.logViews.Memo_Log2.lines = GetParam().log;
  expectReply(GetParam().line, GetParam().reply);
}

std::vector<LogRow> logRows() {
  const std::string head = sj("    LOGデータ\r\n");
  const std::string data = sj("    データ "), ken = sj("件");
  const std::vector<std::string> three = {"1___ a", "_2__ b", "__3_ c"};
  const std::string threeLines =
      "    Log   1: 1___ a\r\n    Log   2: _2__ b\r\n    Log   3: __3_ c\r\n";
  const std::string indent(13, ' ');
  // 13 bytes of "    Log   1: " and 87 of text: 100 bytes.
  const std::string t87 = std::string(65, 'a') + std::string(22, 'b');
  // The 78th byte of the whole line is the lead byte of "表" (95 5C).
  const std::string dbcs = std::string(64, 'a') + sj("表") + std::string(21, 'b');
  // "＝" (81 81) ends at the 78th byte: its trail byte looks like a lead byte, but is none.
  const std::string trail = std::string(63, 'a') + sj("＝") + std::string(22, 'b');
  const std::string t200 = std::string(65, 'a') + std::string(65, 'b') + std::string(57, 'c');
  return {
      {"NumberLargerThanLogShowsAllAndCountTwice", three, "D LOG 9",
       head + threeLines + "\r\n" + data + "3/3" + ken + "\r\n"},
      {"WithoutNumberCountOnce", three, "d log",
       head + threeLines + "\r\n" + data + "3" + ken + "\r\n"},
      {"FirstLinesOnly", three, "D LOG  2",
       head + "    Log   1: 1___ a\r\n    Log   2: _2__ b\r\n\r\n" + data + "2/3" + ken + "\r\n"},
      {"ZeroOrNoDigitsMeanAll", three, "D LOG x",
       head + threeLines + "\r\n" + data + "3/3" + ken + "\r\n"},
      {"EmptyLog", {}, "D LOG", head + "\r\n" + data + "0" + ken + "\r\n"},
      {"HundredByteLineBreaksAfter78",
       {t87},
       "D LOG",
       head + "    Log   1: " + std::string(65, 'a') + "\r\n" + indent + std::string(22, 'b') +
           "\r\n\r\n" + data + "1" + ken + "\r\n"},
      {"BreakBeforeDoubleByteCharacterAt78",
       {dbcs},
       "D LOG",
       head + "    Log   1: " + std::string(64, 'a') + "\r\n" + indent + sj("表") +
           std::string(21, 'b') + "\r\n\r\n" + data + "1" + ken + "\r\n"},
      {"TrailByteAt78IsNoReasonToBreakEarlier",
       {trail},
       "D LOG",
       head + "    Log   1: " + std::string(63, 'a') + sj("＝") + "\r\n" + indent +
           std::string(22, 'b') + "\r\n\r\n" + data + "1" + ken + "\r\n"},
      // The rest (13 blanks and 122 bytes) is broken once more, its tail is left as it is.
      {"LongLineInThreePieces",
       {t200},
       "D LOG",
       head + "    Log   1: " + std::string(65, 'a') + "\r\n" + indent + std::string(65, 'b') +
           "\r\n" + indent + std::string(57, 'c') + "\r\n\r\n" + data + "1" + ken + "\r\n"},
  };
}

INSTANTIATE_TEST_SUITE_P(Console, LogDisplay, ::testing::ValuesIn(logRows()),
                         [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------- switches and status

struct SwitchRow {
  const char* name;
  std::string line;
  std::string reply;
  std::function<bool(const app::MainModel&)> holds;
};

class Switches : public CommandSetTest, public ::testing::WithParamInterface<SwitchRow> {};

TEST_P(Switches, ReplyAndControl) {
  expectReply(GetParam().line, GetParam().reply);
  EXPECT_TRUE(GetParam().holds(model));
}

std::vector<SwitchRow> switchRows() {
  using M = const app::MainModel&;
  return {
      {"MailOn", "m on", sj("    メール転送を開始しました\r\n"),
       [](M m) { return m.alerts.mail.chkMail; }},
      {"SoundOff", "V OFF", sj("    音声アラートを停止しました\r\n"),
       [](M m) { return !m.alerts.chkAlert; }},
      {"PatrolEveryFourMinutes", "X ON4", sj("    Zeltaroを開始しました(4分毎)\r\n"),
       [](M m) {
         return m.patrolClock.radioTimeSel_4min && !m.patrolClock.radioTimeSel_Off &&
                m.patrolClock.AutoPatrolOn;
       }},
      {"PatrolOff", "x off", sj("    Zeltaroを停止しました\r\n"),
       [](M m) { return m.patrolClock.radioTimeSel_Off && !m.patrolClock.AutoPatrolOn; }},
      {"ListUrlOff", "L 32 OFF", sj("    List3 URL2をオフに設定しました\r\n"),
       [](M m) {
         return !m.watchLists.chkListUrl[2][1] && m.watchLists.chkListUrl[2][0] &&
                m.watchLists.chkListUrl[1][1];
       }},
      {"AllListUrlsOff", "L ALL OFF", sj("    List1～3 URL1～3をオフに設定しました\r\n"),
       [](M m) {
         for (int l = 1; l <= 3; ++l)
           for (int u = 1; u <= 3; ++u)
             if (m.listEnabledForUrl(l, u)) return false;
         return true;
       }},
      {"UrlTwoOn", "U 2 ON", sj("    URL2をオンに設定しました\r\n"),
       [](M m) { return m.pageChecks.chkURL[1] && !m.pageChecks.chkURL[0]; }},
      {"AllUrlsOff", "U 0 OFF", sj("    URL1～3をオフに設定しました\r\n"),
       [](M m) {
         return !m.pageChecks.chkURL[0] && !m.pageChecks.chkURL[1] && !m.pageChecks.chkURL[2];
       }},
      {"ConfigOffHidesTheSettingsPanels", "Z CFG OFF",
       sj("    Configボタンをオフに設定しました\r\n"),
       [](M m) {
         return !m.logViews.CheckBox1 && !m.logViews.layout.Panel2Visible &&
                !m.logViews.layout.Panel3Visible;
       }},
      {"UnknownWordIsInvalid", "U 4 ON", kInvalid,
       [](M m) { return !m.pageChecks.chkURL[0] && m.pageChecks.chkURL[2]; }},
      {"TrailingBlankIsInvalid", "M ON ", kInvalid, [](M m) { return !m.alerts.mail.chkMail; }},
      {"EmptyLineIsAnsweredByAnEmptyLine", "", "\r\n", [](M) { return true; }},
      {"QuestionMarkGivesTheGreeting", "?", G, [](M) { return true; }},
  };
}

INSTANTIATE_TEST_SUITE_P(Console, Switches, ::testing::ValuesIn(switchRows()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(CommandSetTest, StatusRightAfterAFirstStart) {
  expectReply("R", sj("    チェックボタンなどの状態\r\n") +
                       "    X OFF\r\n"
                       "    U 1 OFF  ,  U 2 OFF  ,  U 3 ON\r\n"
                       "    V ON\r\n"
                       "    M OFF\r\n"
                       "    L 11 ON  ,  L 12 ON  ,  L 13 ON\r\n"
                       "    L 21 ON  ,  L 22 ON  ,  L 23 ON\r\n"
                       "    L 31 ON  ,  L 32 ON  ,  L 33 ON\r\n"
                       "    Z CFG ON\r\n");
}

TEST_F(CommandSetTest, StatusFollowsTheSwitches) {
  for (const char* line :
       {"X ON3", "U 1 ON", "U 3 OFF", "V OFF", "M ON", "L 12 OFF", "L 33 OFF", "Z CFG OFF"}) {
    const std::size_t before = client->received.size();
    client->send(std::string(line) + "\r\n");
    waitUntil([&] { return client->received.size() > before; });
    pumpFor(20);
  }
  expectReply("r", sj("    チェックボタンなどの状態\r\n") +
                       "    X ON3\r\n"
                       "    U 1 ON   ,  U 2 OFF  ,  U 3 OFF\r\n"
                       "    V OFF\r\n"
                       "    M ON\r\n"
                       "    L 11 ON  ,  L 12 OFF ,  L 13 ON\r\n"
                       "    L 21 ON  ,  L 22 ON  ,  L 23 ON\r\n"
                       "    L 31 ON  ,  L 32 ON  ,  L 33 OFF\r\n"
                       "    Z CFG OFF\r\n");
}

TEST_F(CommandSetTest, SelectedIntervalAgainChangesNothingAndStillReplies) {
  expectReply("X ON3", sj("    Zeltaroを開始しました(3分毎)\r\n"));
  model.patrolClock.ProgressBar1 = 60;  // a double click's "start at once" is kept
  model.patrolClock.AutoPatrolOn = false;
  expectReply("X ON3", sj("    Zeltaroを開始しました(3分毎)\r\n"));
  EXPECT_TRUE(model.patrolClock.radioTimeSel_3min);
  EXPECT_FALSE(model.patrolClock.AutoPatrolOn);
  EXPECT_EQ(model.patrolClock.ProgressBar1, 60);
}

// ---------------------------------------------------------------- tests, log and session

TEST_F(CommandSetTest, UrlTestRepliesAfterTheCheckWithTheNewLineInTheLog) {
  const zeltaro::testing::Spot spot{"STN1", "7,010"};
  http.setPage(kUrl1, zeltaro::testing::spotPage({spot}));
  setLists("STN1\r\n", "", "");
  expectReply("T U1", sj("    URL1巡回テストを実行しました\r\n"));
  EXPECT_EQ(http.asked(), std::vector<std::string>{kUrl1});
  EXPECT_EQ(player.played.size(), 1u);  // the single check's sound
  // The aligned pane: the "\r\n" markers became blanks, every cell is followed by a blank;
  // 83 bytes in all, so the last five go to a second piece.
  expectReply("D LOG", sj("    LOGデータ\r\n") +
                           "    Log   1: 1___1 26/12/09 23:15 STN1 7,010 CW 1001 Tokyo 12 tnx "
                           "JA2YYY" +
                           sj("＠") + "Aich\r\n             i#2001 \r\n\r\n" +
                           sj("    データ 1件\r\n"));
}

TEST_F(CommandSetTest, UrlTestOfAPageThatFailsRepliesAsOnSuccess) {
  expectReply("T U3", sj("    URL3巡回テストを実行しました\r\n"));
  EXPECT_EQ(http.asked().size(), 1u);
  EXPECT_TRUE(box.shown.empty());
}

TEST_F(CommandSetTest, SoundTestPlaysTheAlertSound) {
  model.alerts.edtSound = "bell.wav";
  expectReply("T V", sj("    音声アラートテストを実行しました\r\n"));
  EXPECT_EQ(player.played, std::vector<std::string>{"bell.wav"});
}

TEST_F(CommandSetTest, ClearEmptiesTheLogPanesAndTheMailText) {
  model.logViews.Memo_Log.lines = {"1___ a"};
  model.logViews.Memo_Log2.lines = {"1___ a"};
  model.logViews.Memo_Log3.lines = {"1___ a"};
  model.alerts.MailText = "a";
  expectReply("Z CLR", sj("    LOGをクリアしました\r\n"));
  EXPECT_TRUE(model.logViews.Memo_Log.lines.empty());
  EXPECT_TRUE(model.logViews.Memo_Log2.lines.empty());
  EXPECT_TRUE(model.logViews.Memo_Log3.lines.empty());
  EXPECT_TRUE(model.alerts.MailText.empty());
  expectReply("D LOG", sj("    LOGデータ\r\n") + "\r\n" + sj("    データ 0件\r\n"));
}

TEST_F(CommandSetTest, QuitClosesWithoutAReply) {
  client->received.clear();
  client->send("q\r\n");
  ASSERT_TRUE(client->waitClosed());
  pumpFor(30);
  EXPECT_EQ(client->received, "q\r\n");
  EXPECT_TRUE(waitUntil([&] { return !remote.server().session().hasSession(); }));
  EXPECT_TRUE(remote.server().session().PendingInput.empty());
  connect();  // the next client is welcomed as the first was
  expectReply("V OFF", sj("    音声アラートを停止しました\r\n"));
}

TEST_F(CommandSetTest, ServerEventsReachTheModelStatusField) {
  client->socket.disconnectFromHost();
  EXPECT_TRUE(waitUntil([&] { return model.edtStatus == "Disconnect"; }));
  connect();
  EXPECT_THAT(model.edtStatus, ::testing::AnyOf("Accept", "Write"));
}

TEST_F(CommandSetTest, TheWindowHearsOfEachCommandAfterItRan) {
  std::vector<bool> alertSeen;
  remote.setAfterCommand([&] { alertSeen.push_back(model.alerts.chkAlert); });
  expectReply("V OFF", sj("    音声アラートを停止しました\r\n"));
  expectReply("V X", kInvalid);
  EXPECT_EQ(alertSeen, (std::vector<bool>{false, false}));
}

class SaveAndReload : public CommandSetTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    model.SettingsFile = dir.filePath("zeltaro.ini").toStdString();
    CommandSetTest::SetUp();
  }
  QTemporaryDir dir;
};

TEST_F(SaveAndReload, ReloadGoesBackToWhatWasSavedAndKeepsTheSession) {
  setLists("", "", "");
  expectReply("A 1 JA1AAA", kAdded1 + "    List1   1: JA1AAA\r\n");
  expectReply("Z SAVE", sj("    現在の設定を保存しました\r\n"));
  EXPECT_TRUE(QFile::exists(dir.filePath("zeltaro.ini")));
  expectReply("A 1 JA1BBB", kAdded1 + "    List1   2: JA1BBB\r\n");
  expectReply("U 1 ON", sj("    URL1をオンに設定しました\r\n"));
  model.patrolClock.Timer1Enabled = false;
  expectReply("z load", sj("    前回終了時または保存時の状態に戻しました\r\n"));
  EXPECT_EQ(model.watchLists.Memo_List[0], "JA1AAA\r\n");
  EXPECT_EQ(model.watchLists.LabelList[0], "   1(1/0)");
  EXPECT_FALSE(model.pageChecks.chkURL[0]);
  EXPECT_TRUE(model.patrolClock.Timer1Enabled);
  EXPECT_TRUE(remote.server().isListening());
  EXPECT_EQ(remote.server().port(), port);
  expectReply("D 1", sj("    List1データ\r\n") + "    List1   1: JA1AAA\r\n\r\n" +
                         sj("    データ    1件\r\n    List1: 有効  1件  無効  0件  (  1)\r\n"));
}

TEST_F(CommandSetTest, FailedSaveRepliesTheErrorAndTheNextLineRunsAlone) {
  model.SettingsFile = "/nonexistent-zeltaro-dir/zeltaro.ini";
  // The file system's reason follows on a line of its own.
  expectReply("Z SAVE", sj("    /nonexistent-zeltaro-dir/zeltaro.ini に書き込めません\r\n") +
                            "    /nonexistent-zeltaro-dir/zeltaro.ini.tmp: No such file or "
                            "directory\r\n");
  ASSERT_EQ(box.shown.size(), 1u);
  EXPECT_EQ(box.shown[0].kind, platform::MessageBox::Kind::Error);
  EXPECT_EQ(box.shown[0].text, sj("/nonexistent-zeltaro-dir/zeltaro.ini に書き込めません"));
  EXPECT_TRUE(remote.server().session().PendingInput.empty());
  expectReply("V OFF", sj("    音声アラートを停止しました\r\n"));
}

// Garbage never edits a list or the log: 2 MB of random bytes (without "Q", whose line alone
// would rightly end the session) leave the lists, the log and the settings as they were, and
// the console still answers.
TEST_F(CommandSetTest, RandomBytesChangeNothingInTheListsOrTheLog) {
  setLists("JA1AAA\r\n*JA2BBB\r\n", "CW\r\n", "");
  const auto lists = [this] {
    return std::vector<std::string>{model.watchLists.Memo_List[0], model.watchLists.Memo_List[1],
                                    model.watchLists.Memo_List[2]};
  };
  const std::vector<std::string> listsBefore = lists();
  const std::vector<std::string> logBefore = model.logViews.Memo_Log.lines;
  const bool urlsBefore[] = {model.pageChecks.chkURL[0], model.pageChecks.chkURL[1],
                             model.pageChecks.chkURL[2]};

  std::mt19937 gen(20261209);
  std::uniform_int_distribution<int> byte(0, 255);
  std::string flood;
  while (flood.size() < 2 * 1024 * 1024) {
    const char c = static_cast<char>(byte(gen));
    if (c != 'Q' && c != 'q') flood += c;
  }
  for (std::size_t off = 0; off < flood.size(); off += 64 * 1024) {
    client->send(std::string_view(flood).substr(off, 64 * 1024));
    ASSERT_TRUE(waitUntil([&] { return client->socket.bytesToWrite() < 256 * 1024; }, 30000));
  }
  ASSERT_TRUE(waitUntil([&] { return client->socket.bytesToWrite() == 0; }, 30000));
  pumpFor(500);
  client->send("\r\n");
  pumpFor(300);

  EXPECT_FALSE(client->closed);
  EXPECT_EQ(lists(), listsBefore);
  EXPECT_EQ(model.logViews.Memo_Log.lines, logBefore);
  EXPECT_EQ(model.pageChecks.chkURL[0], urlsBefore[0]);
  EXPECT_EQ(model.pageChecks.chkURL[1], urlsBefore[1]);
  EXPECT_EQ(model.pageChecks.chkURL[2], urlsBefore[2]);
  EXPECT_TRUE(http.asked().empty());  // no page check was started either
  EXPECT_LE(model.edtStatus.size(), 16u);
  client->received.clear();
  client->send("D 1\r\n");
  ASSERT_TRUE(waitUntil([&] { return client->received.find(sj("無効")) != std::string::npos; }));
}

}  // namespace
}  // namespace zeltaro::console
