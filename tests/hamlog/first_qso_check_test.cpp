// SPDX-License-Identifier: GPL-3.0-or-later
#include "hamlog/first_qso_check.h"

#include <gtest/gtest.h>

#include <functional>

#include "hamlog/band.h"
#include "hamlog/entry_points.h"
#include "hamlog/first_qso_service.h"
#include "hamlog/number_text.h"
#include "platform/message_box.h"
#include "scripted_database.h"
#include "text/codec.h"
#include "support/recorders.h"

namespace zeltaro::hamlog {
namespace {

using testing::ScriptedDatabase;
using testing::ScriptedRecord;
using text::sj;

struct Case {
  const char* name;
  std::function<void(settings::FirstQsoConditionSet&, settings::SharedFirstSettings&)> setUp;
  std::vector<ScriptedRecord> records;  // index order
  SpotFields spot;
  bool firstQso;
  std::vector<std::string> calls;  // the whole conversation with the database
};

void bandOn(settings::FirstQsoConditionSet& s, settings::SharedFirstSettings&) { s.Band = true; }

const std::vector<std::string> kOpened = {"load 1", "version", "share 1", "open /qso/HAMLOG"};

std::vector<std::string> conversation(std::vector<std::string> middle) {
  std::vector<std::string> all = kOpened;
  all.insert(all.end(), middle.begin(), middle.end());
  all.push_back("close");
  all.push_back("release");
  return all;
}

std::vector<Case> cases() {
  static const std::string okayama = sj("岡山県-01");  // the spots hold views of it
  return {
      {"WorkedOnAnotherBandThenAnotherStation",
       bandOn,
       {{"STN1", "", "7.010", "CW"}, {"STN2", "", "14.025", "CW"}},
       {"STN1", "14,025", "", "CW"},
       true,
       conversation({"seek STN1 16", "skip 1 16"})},
      {"WorkedOnTheSameBand",
       bandOn,
       {{"STN1", "", "7.010", "CW"}, {"STN1", "", "14.2", "SSB"}, {"STN2", "", "14.0", "CW"}},
       {"STN1", "14,025", "", "CW"},
       false,
       conversation({"seek STN1 16", "skip 1 16"})},
      {"KeysRecordsLastInTheIndex",
       bandOn,
       {{"STN0", "", "14.0", "CW"}, {"STN1", "", "7.010", "CW"}},
       {"STN1", "14,025", "", "CW"},
       true,
       conversation({"seek STN1 16", "skip 1 16"})},
      {"NothingAtOrAfterTheKey",
       bandOn,
       {{"STN0", "", "14.0", "CW"}},
       {"STN1", "14,025", "", "CW"},
       true,
       conversation({"seek STN1 16"})},
      {"PortableSuffixCutOffBothSides",
       nullptr,
       {{"JA1ABC/1", "", "7.0", "CW"}},
       {"JA1ABC/QRP", "7,010", "", "CW"},
       false,
       conversation({"seek JA1ABC 16"})},
      {"LowerCaseCallFindsUpperCaseRecord",
       nullptr,
       {{"JA1ABC", "", "7.0", "CW"}},
       {"ja1abc", "7,010", "", "CW"},
       false,
       conversation({"seek ja1abc 16"})},
      {"LongerRecordOfTheSameKeyIsPassed",
       bandOn,
       {{"JA1ABCD", "", "14.0", "CW"}, {"JA1ABC", "", "14.0", "CW"}},
       {"JA1ABC", "14,025", "", "CW"},
       false,
       conversation({"seek JA1ABC 16", "skip 1 16"})},
      {"FiveCharacterKeyPassesSixCharacterCalls",
       nullptr,
       {{"JA1ABC", "", "14.0", "CW"}, {"JA1ABD", "", "14.0", "CW"}, {"JA1AC", "", "7", "CW"}},
       {"JA1AB", "14,025", "", "CW"},
       true,
       conversation({"seek JA1AB 16", "skip 1 16", "skip 1 16"})},
      {"LowerCaseFiveCharacterKeyStopsAtOnce",
       nullptr,
       {{"JA1ABC", "", "14.0", "CW"}, {"JA1AB", "", "14.0", "CW"}},
       {"ja1ab", "14,025", "", "CW"},
       true,
       conversation({"seek ja1ab 16"})},
      {"DefaultRangeReachesTheLargestNumber",
       [](settings::FirstQsoConditionSet& s, settings::SharedFirstSettings&) { s.Num = true; },
       {{"STN1", "", "7.0", "CW", "", "", 2147483647}},
       {"STN1", "7,010", "", "CW"},
       false,
       conversation({"seek STN1 16"})},
      {"RecordBelowTheRange",
       [](settings::FirstQsoConditionSet& s, settings::SharedFirstSettings&) {
         s.Num = true;
         s.Num_L = " +100";
       },
       {{"STN1", "", "7.0", "CW", "", "", 99}, {"STN1", "", "7.0", "CW", "", "", 100}},
       {"STN1", "7,010", "", "CW"},
       false,
       conversation({"seek STN1 16", "skip 1 16"})},
      {"ModeComparedWithoutCase",
       [](settings::FirstQsoConditionSet& s, settings::SharedFirstSettings&) { s.Mode = true; },
       {{"STN1", "", "7.0", "SSB "}, {"STN1", "", "7.0", "cw"}},
       {"STN1", "7,010", "", " CW\t"},
       false,
       conversation({"seek STN1 16", "skip 1 16"})},
      {"NumericCodeInCallSignMode",
       [](settings::FirstQsoConditionSet& s, settings::SharedFirstSettings&) { s.Code = true; },
       {{"STN1", "1001", "7.0", "CW"}, {"STN1", "100110", "7.0", "CW"}},
       {"STN1", "7,010", "100110", "CW"},
       false,
       conversation({"seek STN1 16", "skip 1 16"})},
      {"CodeOnlyWithASixDigitCode",
       [](settings::FirstQsoConditionSet& s, settings::SharedFirstSettings&) {
         s.Code = true;
         s.Any = true;
       },
       {{"JA9XYZ", "100110", "7.0", "CW"}},
       {"STN1", "7,010", "100110", "CW"},
       false,
       conversation({"seek 100110 17"})},
      {"CodeOnlyWithAMichiNoEkiCode",
       [](settings::FirstQsoConditionSet& s, settings::SharedFirstSettings&) {
         s.Code = true;
         s.Any = true;
       },
       {},
       {"STN1", "7,010", okayama, "CW"},
       false,
       {}},
      {"MichiNoEkiCodeInRemarks2WithBoth",
       [](settings::FirstQsoConditionSet& s, settings::SharedFirstSettings& sh) {
         s.Code = true;
         sh.RS_SEL = 2;
       },
       {{"STN1", "", "7.0", "CW", "", sj("道の駅 ") + okayama}},
       {"STN1", "7,010", okayama, "CW"},
       false,
       conversation({"seek STN1 16"})},
      {"MichiNoEkiCodeOnlyInRemarks2WhenRemarks1Counts",
       [](settings::FirstQsoConditionSet& s, settings::SharedFirstSettings& sh) {
         s.Code = true;
         sh.RS_SEL = 0;
       },
       {{"STN1", "", "7.0", "CW", "", okayama}},
       {"STN1", "7,010", okayama, "CW"},
       true,
       conversation({"seek STN1 16", "skip 1 16"})},
      {"MichiNoEkiTargetNone",
       [](settings::FirstQsoConditionSet& s, settings::SharedFirstSettings& sh) {
         s.Code = true;
         sh.RS_SEL = 3;
       },
       {{"STN1", "", "7.0", "CW"}},
       {"STN1", "7,010", okayama, "CW"},
       false,
       conversation({"seek STN1 16"})},
      {"LsbNeedsOthers",
       [](settings::FirstQsoConditionSet& s, settings::SharedFirstSettings&) {
         s.M_OTHERS = false;
       },
       {},
       {"STN1", "7,010", "", "LSB"},
       false,
       {}},
      {"LowerCaseSsbIsNotSsb",
       [](settings::FirstQsoConditionSet& s, settings::SharedFirstSettings&) {
         s.M_OTHERS = false;
       },
       {},
       {"STN1", "7,010", "", "ssb"},
       false,
       {}},
      {"SsbWithOthersOff",
       [](settings::FirstQsoConditionSet& s, settings::SharedFirstSettings&) {
         s.M_OTHERS = false;
       },
       {},
       {"STN1", "7,010", "", "SSB"},
       true,
       conversation({"seek STN1 16"})},
      {"SsbNotSelected",
       [](settings::FirstQsoConditionSet& s, settings::SharedFirstSettings&) { s.M_SSB = false; },
       {},
       {"STN1", "7,010", "", "SSB"},
       false,
       {}},
      {"SetOff",
       [](settings::FirstQsoConditionSet& s, settings::SharedFirstSettings&) { s.Use = false; },
       {},
       {"STN1", "7,010", "", "CW"},
       false,
       {}},
      {"NoCallIsNeverFirst",
       nullptr,
       {{"", "", "7.0", "CW"}},
       {"/P", "7,010", "", "CW"},
       false,
       {}},
  };
}

TEST(FirstQsoCheck, Cases) {
  for (const Case& c : cases()) {
    SCOPED_TRACE(c.name);
    std::array<settings::FirstQsoConditionSet, 3> sets = testing::conditionSetsOn("/qso/");
    settings::SharedFirstSettings shared;
    if (c.setUp) c.setUp(sets[0], shared);
    ScriptedDatabase db;
    db.records = c.records;
    platform::RecordingMessageBox box;
    EXPECT_EQ(FirstQsoCheck(db, sets, shared, &box, 1, c.spot), c.firstQso);
    EXPECT_EQ(db.calls, c.calls);
    EXPECT_TRUE(box.shown.empty());
  }
}

class LibraryTest : public ::testing::Test {
 protected:
  LibraryTest() : service(sets, shared, &box, &db) {}
  bool check(int list) { return service.isFirstQso(list, "STN1", "7,010", "", "CW"); }

  std::array<settings::FirstQsoConditionSet, 3> sets = testing::conditionSetsOn("/qso/");
  settings::SharedFirstSettings shared;
  platform::RecordingMessageBox box;
  ScriptedDatabase db;
  FirstQsoService service;
};

TEST_F(LibraryTest, OldLibraryShowsTheMessageAtEveryCheck) {
  db.libraryVersion = 0x502FF;
  EXPECT_FALSE(check(1));
  EXPECT_FALSE(check(2));
  const std::vector<std::string> expected = {"load 1", "version", "release",
                                             "load 2", "version", "release"};
  EXPECT_EQ(db.calls, expected);
  ASSERT_EQ(box.shown.size(), 2u);
  for (const auto& shown : box.shown) {
    EXPECT_EQ(shown.caption, "Zeltaro");
    EXPECT_EQ(shown.text, sj("新しいバージョンのＤＬＬを使用してください"));
  }
}

TEST_F(LibraryTest, VersionFromWhichTheLibraryIsAccepted) {
  db.libraryVersion = 0x50300;
  EXPECT_TRUE(check(3));
  const std::vector<std::string> expected = {
      "load 3", "version", "share 1", "open /qso/HAMLOG", "seek STN1 16", "close", "release"};
  EXPECT_EQ(db.calls, expected);
  EXPECT_TRUE(box.shown.empty());
}

TEST_F(LibraryTest, UnavailableLibraryAnswersNo) {
  db.available = false;
  EXPECT_FALSE(check(2));
  const std::vector<std::string> expected = {"load 2", "release"};
  EXPECT_EQ(db.calls, expected);
}

TEST_F(LibraryTest, DatabaseNotOpenedIsNotClosed) {
  db.openResult = -1;
  EXPECT_FALSE(check(1));
  const std::vector<std::string> expected = {"load 1", "version", "share 1", "open /qso/HAMLOG",
                                             "release"};
  EXPECT_EQ(db.calls, expected);
}

TEST_F(LibraryTest, ListOutsideOneToThreeAnswersNo) {
  EXPECT_FALSE(check(0));
  EXPECT_FALSE(check(4));
  EXPECT_TRUE(db.calls.empty());
}

TEST(EntryPoints, OneMissingNameMakesTheLibraryUnavailable) {
  EXPECT_EQ(kEntryPointNames.front(), "GetThdllVersion");
  EXPECT_EQ(kEntryPointNames.back(), "DbsDbrRead");
  std::vector<std::string> asked;
  auto without = [&](std::string_view missing) {
    return [&asked, missing](std::string_view name) {
      asked.emplace_back(name);
      return name != missing;
    };
  };
  EXPECT_TRUE(resolvesAllEntryPoints(without("")));
  EXPECT_EQ(asked.size(), 58u);
  asked.clear();
  EXPECT_FALSE(resolvesAllEntryPoints(without("DbsDbrRead")));
  EXPECT_EQ(asked.size(), 58u);
  asked.clear();
  EXPECT_FALSE(resolvesAllEntryPoints(without("FreqPCheck")));
  const std::vector<std::string> firstThree = {"GetThdllVersion", "THW_idxrmv", "FreqPCheck"};
  EXPECT_EQ(asked, firstThree);
}

TEST(SpotFrequency, KilohertzToMegahertzText) {
  const std::pair<const char*, const char*> rows[] = {
      {"7,010", "7.010"}, {"1,296,100", "1296.100"}, {"14074.5", "14.075"}, {" 50313", "50.313"},
      {"3.5e3", "3.500"}, {"abc", "0.000"},          {"", "0.000"},         {"-1", "-0.001"},
  };
  for (const auto& [khz, mhz] : rows) EXPECT_EQ(mhzFromKhz(khz), mhz) << khz;
}

// Every spot in the 135 kHz band stays in it after the rounding to three decimals, so a
// station worked there is not flagged again (137.5 kHz arrives as "0.138").
TEST(SpotFrequency, The135kHzBandHoldsItsSpots) {
  EXPECT_EQ(mhzFromKhz("137.5"), "0.138");
  for (int tenths = 1357; tenths <= 1378; ++tenths) {
    const std::string khz = std::to_string(tenths / 10) + "." + std::to_string(tenths % 10);
    EXPECT_EQ(bandClassOf(mhzFromKhz(khz)), 1) << khz;
  }
  EXPECT_EQ(bandClassOf(mhzFromKhz("472")), 2);
}

TEST(RecordRange, TextsReadAsClampedIntegers) {
  const std::pair<const char*, std::int32_t> rows[] = {
      {"9999999999", 2147483647},
      {"-9999999999", -2147483647 - 1},
      {"  +12abc", 12},
      {"-7", -7},
      {"abc", 0},
      {"", 0},
      {"2147483647", 2147483647},
      {"00042", 42},
  };
  for (const auto& [textValue, value] : rows)
    EXPECT_EQ(readClampedInt(textValue), value) << textValue;
}

}  // namespace
}  // namespace zeltaro::hamlog
