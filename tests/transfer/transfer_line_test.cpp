// SPDX-License-Identifier: GPL-3.0-or-later
// The transfer of a log line against recorders of HAMLOG's windows, our windows, the rig and
// the companion: whole sequences of field messages and finish steps.

#include "transfer/transfer_line.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "support/fixed_clock.h"
#include "text/codec.h"
#include "transfer/recording_links.h"

namespace zeltaro::transfer {
namespace {

using testing::Events;
using text::sj;

class TransferTest : public ::testing::Test {
 protected:
  TransferTest() {
    station.set(1).HAMLOG = "/hamlog/one/";
    station.set(2).HAMLOG = "/hamlog/two/";
    station.set(3).HAMLOG = "/hamlog/three/";
  }

  Events run(std::string_view utf8Line) {
    events.clear();
    transfer.TransferLine(sj(utf8Line));
    return events;
  }
  // Only the field messages.
  Events fields(std::string_view utf8Line) {
    Events all = run(utf8Line), only;
    for (auto& e : all)
      if (e.starts_with("field ")) only.push_back(e);
    return only;
  }

  settings::StationSettings station;
  Events events;
  testing::RecordingWindowLink windows{events};
  testing::RecordingOwnWindows own{events};
  testing::RecordingRigSide rig{events};
  platform::FixedClock clock{{2024, 5, 6, 9, 7, 30}};
  Transfer transfer{station, {{&windows, &own, &rig}, &clock, [](std::string_view code, int list) {
                                if (code == sj("栃木県-01") && list == 1)
                                  return hamlog::MichiEntry{sj("もてぎ"), "0901"};
                                return hamlog::MichiEntry{std::string(code), ""};
                              }}};
};

const char* const kLine = "1_3_ 05/06 0900 STN1 7,003.5 CW 100110 東京都港区 599 QRV";

// The field messages and finish of one entry of list n with the default settings.
Events entry(int n) {
  const std::string l = std::to_string(n);
  return {"field " + l + " 20010 0 ",
          "field " + l + " B0000 4 STN1",
          "field " + l + " 20000 4 STN1",
          "field " + l + " 20006 7 7.00350",
          "field " + l + " 20007 2 CW",
          "field " + l + " 20008 6 100110",
          "field " + l + " 2000C 10 東京都港区",
          "field " + l + " 2001A 0 ",
          "field " + l + " 20002 8 24/05/06",
          "field " + l + " 20003 6 09:07J",
          "foreground 20" + l,
          "key 20" + l + " 24 C--",
          "pointer 60,120"};
}

TEST_F(TransferTest, ALineOfListsOneAndThreeGoesIntoBothHamlogsListOneFirst) {
  Events expected{"windows"};
  for (int n : {1, 3})
    for (auto& e : entry(n)) expected.push_back(e);
  EXPECT_EQ(run(kLine), expected);
}

// HAMLOG takes a transfer's steps while the window runs: lines asked for then (a click, a patrol
// window's walk) go across after it, each whole and in the order asked.
TEST_F(TransferTest, LinesAskedForDuringATransferGoAcrossWholeAfterIt) {
  const char* const second = "1___ 05/06 0901 STN2 14,025 SSB 1002 大阪府 59 QRV";
  const char* const third = "__3_ 05/06 0902 STN3 21,030 CW 1003 京都府 599 QRV";
  Events oneAfterAnother = run(kLine);
  for (const char* line : {second, third})
    for (auto& e : run(line)) oneAfterAnother.push_back(e);

  bool runningMeanwhile = false;
  windows.duringField = [&] {
    runningMeanwhile = transfer.running();
    transfer.TransferLine(sj(second));
    transfer.TransferLine(sj(third));
  };
  EXPECT_EQ(run(kLine), oneAfterAnother);
  EXPECT_TRUE(runningMeanwhile);
  EXPECT_FALSE(transfer.running());
}

// The log line a transfer was asked for may change while the window runs during the transfer
// (the log cleared from the console, say): the transfer carries the line as it was asked for.
TEST_F(TransferTest, ALogLineChangedDuringItsTransferGoesAcrossAsAskedFor) {
  const Events asAsked = run(kLine);
  std::string logLine = sj(kLine);
  windows.duringField = [&] { std::fill(logLine.begin(), logLine.end(), ' '); };
  events.clear();
  transfer.TransferLine(logLine);
  EXPECT_EQ(events, asAsked);
}

TEST_F(TransferTest, EqualFoldersAreEnteredOnce) {
  station.set(3).HAMLOG = station.set(1).HAMLOG;
  Events expected{"windows"};
  for (auto& e : entry(1)) expected.push_back(e);
  EXPECT_EQ(run(kLine), expected);

  // Equal folders of lists 2 and 3 with list 1 not flagged: list 2 enters, list 3 does not.
  station.set(3).HAMLOG = station.set(2).HAMLOG;
  windows.windows = {{102, "/hamlog/two/"}};
  EXPECT_EQ(fields("_23_ 05/06 0900 STN1 7010 CW 100110 東京都港区").size(), 10u);
}

TEST_F(TransferTest, NothingGoesToHamlogWithoutAFlaggedListWithTransferOn) {
  station.set(1).Trans = false;
  EXPECT_EQ(run("1___ 05/06 0900 STN1 7010 CW"), Events{});
  EXPECT_EQ(run("____ 05/06 0900 STN1 7010 CW"), Events{});
  EXPECT_EQ(run(" \t\r\n"), Events{});
}

TEST_F(TransferTest, MissingOrInvalidColumnsSkipTheirSteps) {
  struct Case {
    const char* name;
    std::string settings::SharedFirstSettings::*column;
    const char* value;
    Events fields;
  };
  const char* line = "1___ 05/06 0900 STN1 7010 RTTY 100110 東京都港区";
  const Events date{"field 1 2001A 0 ", "field 1 20002 8 24/05/06", "field 1 20003 6 09:07J"};
  auto with = [](Events a, const Events& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
  };
  const Case cases[] = {
      {"no call: no date and time either",
       &settings::SharedFirstSettings::COL_CALL,
       "",
       {"field 1 20010 0 ", "field 1 20006 7 7.01000", "field 1 20007 3 SSB",
        "field 1 20008 6 100110", "field 1 2000C 10 東京都港区"}},
      {"call beyond the line",
       &settings::SharedFirstSettings::COL_CALL,
       "9",
       {"field 1 20010 0 ", "field 1 20006 7 7.01000", "field 1 20007 3 SSB",
        "field 1 20008 6 100110", "field 1 2000C 10 東京都港区"}},
      {"frequency column 0", &settings::SharedFirstSettings::COL_FREQ, "0",
       with({"field 1 20010 0 ", "field 1 B0000 4 STN1", "field 1 20000 4 STN1",
             "field 1 20007 3 SSB", "field 1 20008 6 100110", "field 1 2000C 10 東京都港区"},
            date)},
      {"mode column 21", &settings::SharedFirstSettings::COL_MODE, "21",
       with({"field 1 20010 0 ", "field 1 B0000 4 STN1", "field 1 20000 4 STN1",
             "field 1 20006 7 7.01000", "field 1 20008 6 100110", "field 1 2000C 10 東京都港区"},
            date)},
      {"code column not a number", &settings::SharedFirstSettings::COL_CODE, "x7",
       with({"field 1 20010 0 ", "field 1 B0000 4 STN1", "field 1 20000 4 STN1",
             "field 1 20006 7 7.01000", "field 1 20007 3 SSB", "field 1 2000C 10 東京都港区"},
            date)},
      {"QTH column empty", &settings::SharedFirstSettings::COL_QTH, "",
       with({"field 1 20010 0 ", "field 1 B0000 4 STN1", "field 1 20000 4 STN1",
             "field 1 20006 7 7.01000", "field 1 20007 3 SSB", "field 1 20008 6 100110"},
            date)},
      // Only the call step's column is read as "4": trailing text after the digits is ignored.
      {"call column 4x", &settings::SharedFirstSettings::COL_CALL, "4x",
       with({"field 1 20010 0 ", "field 1 B0000 4 STN1", "field 1 20000 4 STN1",
             "field 1 20006 7 7.01000", "field 1 20007 3 SSB", "field 1 20008 6 100110",
             "field 1 2000C 10 東京都港区"},
            date)},
  };
  for (const Case& c : cases) {
    settings::SharedFirstSettings saved = station.shared;
    station.shared.*c.column = c.value;
    EXPECT_EQ(fields(line), c.fields) << c.name;
    station.shared = saved;
  }
}

TEST_F(TransferTest, FrequencyColumnsBecomeMegahertzWithTheirDecimals) {
  const std::pair<const char*, const char*> cases[] = {
      {"7,003.5", "7.00350"},  {"136", "0.136000"},    {"14025", "14.0250"},
      {"144500", "144.500"},   {"1295000", "1295.00"}, {"10,450,000", "10450.0"},
      {"123456789", "123457"}, {"JA1", "0.000000"},
  };
  for (auto [kHz, mhz] : cases) EXPECT_EQ(frequencyFieldText(kHz), mhz) << kHz;
}

TEST_F(TransferTest, ModeIsConvertedForHamlogButTheRigGetsItAsSpotted) {
  const std::pair<const char*, const char*> cases[] = {
      {"RTTY", "SSB"}, {"SK", "SSB"}, {"CW", "CW"}, {"FT8", "FT8"}, {"PSK", "SSB"}};
  for (auto [mode, sent] : cases)
    EXPECT_EQ(convertMode(mode, "PSK=SSB,RTTY=SSB,SSTV=SSB"), sent) << mode;
  EXPECT_EQ(convertMode("FM", "AM=A3 FM=F3,SSB=J3"), "F3");

  station.rigDirect.Use = true;
  station.shared.COL_CALL = "";
  EXPECT_EQ(run("1___ 05/06 0900 STN1 7010 RTTY"),
            (Events{"windows", "field 1 20010 0 ", "field 1 20006 7 7.01000", "field 1 20007 3 SSB",
                    "tune 7.01000 RTTY", "foreground 201", "pointer 60,120"}));
}

TEST_F(TransferTest, CodeAndQthAreCleanedForHamlog) {
  station.shared.COL_CALL = station.shared.COL_FREQ = station.shared.COL_MODE = "";
  station.shared.MICHI_WR = 1;
  struct Case {
    const char* code;
    const char* qth;
    Events fields;
  };
  const Case cases[] = {
      {"PM95", "Tokyo", {"field 1 20010 0 ", "field 1 20008 0 ", "field 1 2000C 0 "}},
      {"100110",
       "東京都港区",
       {"field 1 20010 0 ", "field 1 20008 6 100110", "field 1 2000C 10 東京都港区"}},
      {"1001", "札幌", {"field 1 20010 0 ", "field 1 20008 4 1001", "field 1 2000C 0 "}},
      {"栃木県-01",
       "茂木町",
       {"field 1 20010 0 ", "field 1 20008 4 0901", "field 1 2000D 6 もてぎ", "field 1 2000C 0 "}},
      {"栃木県-99",
       "栃木県",
       {"field 1 20010 0 ", "field 1 20008 0 ", "field 1 2000D 9 栃木県-99",
        "field 1 2000C 6 栃木県"}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(fields(std::string("1___ 05/06 0900 STN1 7010 CW ") + c.code + " " + c.qth), c.fields)
        << c.code;

  station.shared.MICHI_WR = 2;
  station.shared.MICHI_FUKA = true;
  EXPECT_EQ(fields("1___ 05/06 0900 STN1 7010 CW 栃木県-01 栃木県"),
            (Events{"field 1 20010 0 ", "field 1 20008 4 0901", "field 1 2000E 13 道の駅 もてぎ",
                    "field 1 2000C 6 栃木県"}));
}

TEST_F(TransferTest, CommentRunsFromItsColumnToTheAtSign) {
  station.shared.COL_CALL = station.shared.COL_FREQ = station.shared.COL_MODE = "";
  station.shared.COL_CODE = station.shared.COL_QTH = "";
  station.shared.RMKS_SEL = 2;
  const std::pair<const char*, const char*> cases[] = {
      // "km " in the line: columns 10 to 12 with their spaces.
      {"1___ d t STN1 7010 CW 1001 東京都 12km QRV  from park ＠JA1XYZ 0905",
       "field 1 2000E 14 QRV  from park"},
      // No "km ": from column 9.
      {"1___ d t STN1 7010 CW 1001 東京都 599 QRV  from park ＠JA1XYZ 0905",
       "field 1 2000E 18 599 QRV  from park"},
      // No "＠": column 10 alone.
      {"1___ d t STN1 7010 CW 1001 東京都 599 QRV  from park", "field 1 2000E 3 QRV"},
      // No "km " and "＠" in column 10: column 9 alone.
      {"1___ d t STN1 7010 CW 1001 東京都 599 ＠QRV from park", "field 1 2000E 3 599"},
      // "＠" in the first comment column: empty.
      {"1___ d t STN1 7010 CW 1001 東京都 ＠599 QRV from park", "field 1 2000E 0 "},
      // No column 10.
      {"1___ d t STN1 7010 CW 1001 東京都 599", "field 1 2000E 0 "},
  };
  for (auto [line, field] : cases) {
    EXPECT_EQ(fields(line), Events{field}) << line;
  }
  EXPECT_EQ(transfer.LastRemarkText, "RMK2 ");

  // A comment longer than 255 bytes reaches HAMLOG cut, and the companion's remark is whole.
  const std::string longWord(300, 'w');
  EXPECT_EQ(fields("1___ d t STN1 7010 CW 1001 東京都 599 " + longWord),
            Events{"field 1 2000E 255 " + longWord.substr(0, 255)});
  EXPECT_EQ(transfer.LastRemarkText, "RMK2 " + longWord);

  station.shared.COL_RMKS = "1";  // below the lowest comment column
  EXPECT_EQ(fields("1___ d t STN1 7010 CW 1001 東京都 599 QRV"), Events{});
}

TEST_F(TransferTest, StationTextLeadsTheCommentInRemarksOne) {
  station.shared.RMKS_SEL = station.shared.MICHI_WR = 1;
  station.shared.COL_CALL = "";
  EXPECT_EQ(fields("1___ d t STN1 7010 CW 栃木県-01 茂木町 599 QRV 5W"),
            (Events{"field 1 20010 0 ", "field 1 20006 7 7.01000", "field 1 20007 2 CW",
                    "field 1 20008 4 0901", "field 1 2000D 6 もてぎ", "field 1 2000C 0 ",
                    "field 1 2000D 11 もてぎ　QRV"}));
  EXPECT_EQ(transfer.LastRemarkText, sj("RMK1 もてぎ　QRV"));
  EXPECT_EQ(transfer.Remark1Lead, sj("もてぎ"));

  // A transfer without a code column keeps the lead of the one before.
  station.shared.COL_CODE = "";
  EXPECT_EQ(fields("1___ d t STN1 7010 CW 1001 茂木町 599 QSY"),
            (Events{"field 1 20010 0 ", "field 1 20006 7 7.01000", "field 1 20007 2 CW",
                    "field 1 2000C 0 ", "field 1 2000D 11 もてぎ　QSY"}));
}

TEST_F(TransferTest, WithAPatrolWindowVisibleTheWordsLackTheFlagAndTheFocusComesBack) {
  own.patrolVisible = true;
  EXPECT_EQ(run("1___ 05/06 0900 STN1 7010"),
            (Events{"windows", "field 1 10 0 ", "field 1 90000 4 STN1", "field 1 0 4 STN1",
                    "field 1 6 7 7.01000", "field 1 1A 0 ", "field 1 2 8 24/05/06",
                    "field 1 3 6 09:07J", "foreground 201", "key 201 24 C--", "last active"}));
}

TEST_F(TransferTest, FinishFollowsAnswerBandRigAndFocusSettings) {
  struct Case {
    const char* name;
    std::function<void()> setUp;
    const char* freq;
    Events finish;
  };
  const Case cases[] = {
      {"14.025 with its band bit",
       [] {},
       "14025",
       {"foreground 201", "key 201 24 C--", "pointer 60,120"}},
      {"14.025 without its band bit",
       [this] { station.set(1).RigFreq = 0x7FFF & ~(1 << 5); },
       "14025",
       {"foreground 201", "pointer 60,120"}},
      {"15.5 with bit 14",
       [this] { station.set(1).RigFreq = 1 << 14; },
       "15500",
       {"foreground 201", "key 201 24 C--", "pointer 60,120"}},
      {"15.5 without bit 14",
       [this] { station.set(1).RigFreq = 0x3FFF; },
       "15500",
       {"foreground 201", "pointer 60,120"}},
      {"rig setting off",
       [this] { station.set(1).Rig = false; },
       "7010",
       {"foreground 201", "pointer 60,120"}},
      {"HAMLOG answers 0", [this] { windows.answerZero = true; }, "7010", {}},
      {"focus flag off",
       [this] { station.shared.FOCUS_SEL = false; },
       "7010",
       {"foreground 201", "key 201 24 C--", "last active"}},
      {"mouse flag off, F5 with Shift and Alt",
       [this] {
         station.shared.MOUSE_SEL = station.shared.KEY_CTRL = false;
         station.shared.KEY_SHIFT = station.shared.KEY_ALT = true;
         station.shared.keyIndex = 11;  // F5
       },
       "7010",
       {"foreground 201", "key 201 74 -SA"}},
      {"direct control",
       [this] { station.rigDirect.Use = true; },
       "7010",
       {"tune 7.01000 ", "foreground 201", "pointer 60,120"}},
      {"no HAMLOG window", [this] { windows.windows.clear(); }, "7010", {}},
  };
  station.shared.COL_CALL = "";
  for (const Case& c : cases) {
    const settings::StationSettings saved = station;
    c.setUp();
    Events all = run(std::string("1___ d t STN1 ") + c.freq), finish;
    for (auto& e : all)
      if (e != "windows" && !e.starts_with("field ")) finish.push_back(e);
    EXPECT_EQ(finish, c.finish) << c.name;
    station = saved;
    windows.answerZero = false;
    windows.windows = {{101, "/hamlog/one/"}, {102, "/hamlog/two/"}, {103, "/hamlog/three/"}};
  }
}

TEST_F(TransferTest, CompanionIsClearedFocusedAndSentTheSpot) {
  station.tarvopc.CLEAR = station.tarvopc.CALL = station.tarvopc.CODE = true;
  station.shared.RMKS_SEL = 1;
  const char* line = "1___ 05/06 0900 STN1 7010 SSB PM95 東京都 599 QRV";
  Events expected{"udp CLR \r", "windows"};
  Events all = run(line), outside;
  for (auto& e : all)
    if (!e.starts_with("field ")) outside.push_back(e);
  EXPECT_EQ(outside,
            (Events{"udp CLR \r", "windows", "foreground 201", "key 201 24 C--", "pointer 60,120",
                    "companion focus+ mouse+ patrol-", "foreground 201", "pointer 60,120",
                    "udp CODE \r", "udp CALL STN1\r", "udp RMK1 QRV\r"}));

  // CW: no clear; the companion is focused last.
  station.set(1).Trans = false;
  EXPECT_EQ(run("1___ 05/06 0900 STN1 7010 CW 栃木県-01 東京都"),
            (Events{"udp CODE 0901\r", "udp CALL STN1\r", "udp RMK1 QRV\r",
                    "companion focus+ mouse+ patrol-"}));

  // Nothing entered and not CW: the focus returns to our window.
  station.tarvopc.CALL = station.tarvopc.CODE = false;
  EXPECT_EQ(run("1___ 05/06 0900 STN1 7010 SSB"), (Events{"udp CLR \r", "last active"}));
}

}  // namespace
}  // namespace zeltaro::transfer
