// SPDX-License-Identifier: GPL-3.0-or-later
// Feeding the patrol lists from the aligned log panes, the "new" feed and the eligibility rules.
#include <gtest/gtest.h>

#include "patrol/patrol_entry.h"
#include "patrol_fixture.h"

namespace zeltaro::patrol {
namespace {

using namespace testing_support;

TEST(PatrolFolders, WindowOfEachListAndThePrefixOfThatWindowsTransfer) {
  struct Case {
    const char* name;
    std::array<std::string, 3> folders;
    std::array<int, 3> windowOfList;
    std::array<const char*, 3> prefixOfWindow;
  };
  const Case cases[] = {
      {"all-equal", {"A\\", "A\\", "A\\"}, {1, 1, 1}, {"1__", "1__", "1__"}},
      {"all-different", {"A\\", "B\\", "C\\"}, {1, 2, 3}, {"1__", "_2_", "__3"}},
      {"one-and-three", {"A\\", "B\\", "A\\"}, {1, 2, 1}, {"1__", "_2_", "1__"}},
      // A folder is served by one window: the one of the first list that holds it.
      {"one-and-two", {"A\\", "A\\", "C\\"}, {1, 1, 3}, {"1__", "1__", "__3"}},
      {"two-and-three", {"A\\", "B\\", "B\\"}, {1, 2, 2}, {"1__", "_2_", "_2_"}},
      {"all-empty", {"", "", ""}, {1, 1, 1}, {"1__", "1__", "1__"}},
  };
  for (const Case& c : cases) {
    for (int j = 1; j <= 3; ++j) {
      const int win = windowOfList(j, c.folders);
      EXPECT_EQ(win, c.windowOfList[std::size_t(j - 1)]) << c.name << " list " << j;
      // The window that receives list j transfers into the HAMLOG of list j's folder.
      const std::string prefix = transferPrefix(c.folders[std::size_t(win - 1)], c.folders);
      const int served = prefix == "1__" ? 1 : prefix == "_2_" ? 2 : 3;
      EXPECT_EQ(c.folders[std::size_t(served - 1)], c.folders[std::size_t(j - 1)]) << c.name;
    }
    for (int k = 1; k <= 3; ++k)
      EXPECT_EQ(transferPrefix(c.folders[std::size_t(k - 1)], c.folders),
                c.prefixOfWindow[std::size_t(k - 1)])
          << c.name << " window " << k;
  }
  EXPECT_EQ(transferPrefix("Z\\", {"A\\", "B\\", "C\\"}), "");
}

TEST(PatrolAge, LimitIsFeedTimeMinusMinutesOnTheCalendar) {
  struct Case {
    platform::LocalDateTime at;
    int minutes;
    const char* limit;
  };
  const Case cases[] = {
      {{2010, 5, 22, 14, 30, 0}, 180, "10/05/2211:30"},
      {{2010, 5, 22, 14, 30, 0}, 0, "10/05/2214:30"},
      {{2010, 5, 22, 14, 30, 0}, 900, "10/05/2123:30"},
      {{2010, 3, 1, 0, 10, 0}, 20, "10/02/2823:50"},
      {{2000, 1, 1, 0, 0, 0}, 1, "99/12/3123:59"},
      // Outside 0-1439 the limit is still a date: four digits from the dialog are days back.
      {{2010, 5, 22, 14, 30, 0}, 9999, "10/05/1515:51"},
      {{2010, 5, 22, 14, 30, 0}, -5, "10/05/2214:30"},
      {{}, 180, ""},
  };
  for (const Case& c : cases) EXPECT_EQ(ageLimit(c.at, c.minutes), c.limit) << c.minutes;
}

TEST(PatrolEligibility, FrequencyBandsAndAge) {
  settings::StationSettings s;
  const platform::LocalDateTime at{2010, 5, 22, 14, 30, 0};
  struct Case {
    const char* name;
    std::string row;
    std::string colFreq;
    std::int32_t mask;
    bool ageTest;
    bool eligible;
  };
  const Case cases[] = {
      {"all-bands", line("1___", "STN1", "7.010"), "5", 32767, true, true},
      {"only-other-bands-7MHz", line("1___", "STN1", "7.010"), "5", 1 << 14, true, false},
      {"only-other-bands-5MHz", line("1___", "STN1", "5.000"), "5", 1 << 14, true, true},
      {"no-frequency-column", "1___DX 10/05/22 14:25 STN1", "5", 32767, true, false},
      {"col-freq-empty", line("1___", "STN1", "7.010"), "", 32767, true, false},
      {"col-freq-not-a-column", line("1___", "STN1", "7.010"), "21", 32767, true, false},
      {"age-11:29-too-old", line("1___", "STN1", "7.010", "11:29"), "5", 32767, true, false},
      {"age-11:30-not", line("1___", "STN1", "7.010", "11:30"), "5", 32767, true, true},
      {"age-test-off", line("1___", "STN1", "7.010", "11:29"), "5", 32767, false, true},
      {"blank-row", "    ", "5", 32767, true, false},
  };
  for (const Case& c : cases) {
    s.shared.COL_FREQ = c.colFreq;
    s.shared.TIMEOVER_CHK = c.ageTest;
    s.set(2).RigFreq = c.mask;
    EXPECT_EQ(IsPatrolEligible(c.row, 2, s, at), c.eligible) << c.name;
  }
}

TEST_F(PatrolTest, ReplaceWithALineOfListsOneAndThreeAndThreeFolders) {
  fill(1, {line("1___", "OLD1", "7.001")});
  fill(2, {line("_2__", "OLD2", "7.002")});
  const std::string fed = line("1_3_", "STN1", "7.010");
  host.panes[0].lines = {line("_2__", "OTHER", "7.020"), fed};
  selectLines(host.panes[0], 1, 1);
  lists.feedPatrolListsReplacing(0);

  EXPECT_EQ(texts(1), std::vector<std::string>{fed});
  EXPECT_TRUE(texts(2).empty());
  EXPECT_EQ(texts(3), std::vector<std::string>{fed});
  EXPECT_EQ(w(1).CurrentRow, 0);
  EXPECT_EQ(w(3).CurrentRow, 0);
  // A new current row is transferred at once, window 3 first.
  EXPECT_EQ(sent.lines, (std::vector<std::string>{"__3_DX 10/05/22 14:25 STN1 7.010 CW ",
                                                  "1___DX 10/05/22 14:25 STN1 7.010 CW "}));
  EXPECT_TRUE(w(1).Visible && w(3).Visible);
  EXPECT_EQ(view[0].raised, 1);
  EXPECT_EQ(w(3).Caption, text::sj(" Zeltaro v2.11 巡回転送リスト [ 3 ]     C:\\HAMLOG3\\"));
  EXPECT_EQ(host.panes[0].selLength, 0);
  EXPECT_EQ(host.panes[0].selStart, int(host.panes[0].lines[0].size()) + 2);
}

TEST_F(PatrolTest, ALineOfTwoListsSharingAWindowIsOneRow) {
  s.set(3).HAMLOG = s.set(1).HAMLOG;
  const std::string fed = line("1_3_", "STN1", "7.010");
  host.panes[0].lines = {fed};
  selectLines(host.panes[0], 0, 0);
  lists.FeedPatrolLists(false, 0);
  EXPECT_EQ(texts(1), std::vector<std::string>{fed});
  EXPECT_TRUE(texts(3).empty());
  EXPECT_EQ(sent.lines, std::vector<std::string>{"1___DX 10/05/22 14:25 STN1 7.010 CW "});
}

TEST_F(PatrolTest, AppendOfAQueuedSpotMovesItToTheTopKeepingCheckAndMark) {
  const std::string a = line("1___", "STNA", "7.001");
  const std::string b = line("1___", "STNB", "7.002");
  std::string bMarked = b;
  bMarked[3] = '*';
  // STNB is eligible but marked and unchecked; STNA was unchecked by the operator.
  fill(1, {a, bMarked}, {0, 1});
  host.panes[1].lines = {b};
  selectLines(host.panes[1], 0, 0);
  lists.feedPatrolListsAppending(1);
  EXPECT_EQ(texts(1), (std::vector<std::string>{bMarked, a}));
  EXPECT_EQ(checks(1), (std::vector<bool>{false, false}));
  // Nothing checked: no current row and nothing transferred.
  EXPECT_EQ(w(1).CurrentRow, -1);
  EXPECT_TRUE(sent.lines.empty());
}

TEST_F(PatrolTest, FreshEntriesAreCheckedByTheirListsBandsAndAge) {
  s.set(1).RigFreq = 1 << 14;
  host.panes[0].lines = {line("1___", "IN", "5.000"), line("1___", "OUT", "7.010"),
                         line("1___", "OLD", "5.000", "11:29"), "1___DX 10/05/22 14:25 NOFREQ"};
  selectLines(host.panes[0], 0, 3);
  lists.FeedPatrolLists(true, 0);
  EXPECT_EQ(checks(1), (std::vector<bool>{true, false, false, false}));
  EXPECT_EQ(w(1).ItemIndex, 0);
}

TEST_F(PatrolTest, WhichLinesTheSelectionCovers) {
  struct Case {
    const char* name;
    int selStart, selLength;
    std::vector<std::string> calls;  // fed rows top-down
  };
  // Lines are 35 bytes each with their line break.
  const Case cases[] = {
      {"caret-inside-line-1", 38, 0, {"B"}},
      {"caret-at-start-of-line-1", 35, 0, {}},
      {"caret-at-start-of-line-0", 0, 0, {"A"}},
      {"lines-0-and-1-with-break", 0, 70, {"A", "B"}},
      {"into-line-2-by-one-byte", 0, 71, {"A", "B", "C"}},
      {"past-the-end", 200, 0, {}},
  };
  for (const Case& c : cases) {
    w(1).CheckListBox1.clear();
    host.panes[0].lines = {line("1___", "A", "7.001"), line("1___", "B", "7.002"),
                           line("1___", "C", "7.003")};
    ASSERT_EQ(host.panes[0].lines[0].size() + 2, 35u);
    host.panes[0].selStart = c.selStart;
    host.panes[0].selLength = c.selLength;
    lists.FeedPatrolLists(true, 0);
    std::vector<std::string> want;
    for (const std::string& call : c.calls)
      want.push_back(line("1___", call, call == "A" ? "7.001" : call == "B" ? "7.002" : "7.003"));
    EXPECT_EQ(texts(1), want) << c.name;
  }
}

TEST_F(PatrolTest, ReplaceAndAppendNeedTheFocusInAnAlignedPane) {
  fill(1, {line("1___", "KEEP", "7.001")});
  host.panes[0].lines = {line("1___", "STN1", "7.010")};
  selectLines(host.panes[0], 0, 0);
  lists.feedPatrolListsReplacing(-1);
  lists.feedPatrolListsAppending(4);
  EXPECT_EQ(texts(1), std::vector<std::string>{line("1___", "KEEP", "7.001")});
  EXPECT_TRUE(sent.lines.empty());
  EXPECT_EQ(lists.FeedTime.year, 0);
}

TEST_F(PatrolTest, NewFeedTakesTheNNewestLinesOfMemoLog2) {
  for (int total : {4, 25}) {
    host.panes[0].lines.clear();
    for (int i = 0; i < total; ++i)
      host.panes[0].lines.push_back(line("1___", "S" + std::to_string(i), "7.010"));
    host.newSwitch = true;
    lists.FeedNewest();
    std::vector<std::string> want(host.panes[0].lines.begin(),
                                  host.panes[0].lines.begin() + std::min(total, 10));
    EXPECT_EQ(texts(1), want) << total;
    EXPECT_EQ(host.panes[0].selLength, 0);
  }
}

TEST_F(PatrolTest, NewFeedIsOffWithTheSwitchOffOrAnEmptyPane) {
  host.panes[0].lines = {line("1___", "STN1", "7.010")};
  lists.FeedNewest();
  host.newSwitch = true;
  host.panes[0].lines.clear();
  lists.FeedNewest();
  EXPECT_TRUE(texts(1).empty());
  EXPECT_FALSE(w(1).Visible);
}

TEST_F(PatrolTest, NewFeedKeepsTheCurrentAndSelectedRowsAndTransfersOnlyANewCurrentRow) {
  host.newSwitch = true;
  host.panes[0].lines = {line("1___", "B", "7.002"), line("1___", "A", "7.001")};
  lists.FeedNewest();
  ASSERT_EQ(sent.lines.size(), 1u);  // the first current row, B
  w(1).CurrentRow = 1;               // the walk has moved on to A
  w(1).ItemIndex = 1;
  host.panes[0].lines.insert(host.panes[0].lines.begin(), line("1___", "C", "7.003"));
  lists.FeedNewest();
  EXPECT_EQ(w(1).CurrentRow, 2);  // A, now one row further down
  EXPECT_EQ(w(1).ItemIndex, 2);
  EXPECT_EQ(sent.lines.size(), 1u);
  // A manual feed looks for the first eligible row instead, C: a new current row.
  selectLines(host.panes[0], 0, 0);
  lists.FeedPatrolLists(true, 0);
  EXPECT_EQ(w(1).CurrentRow, 0);
  EXPECT_EQ(w(1).ItemIndex, 0);
  EXPECT_EQ(sent.lines.back(), "1___DX 10/05/22 14:25 C 7.003 CW ");
}

TEST_F(PatrolTest, AgeLimitOutsideTheDayStillFinishesTheFeed) {
  for (int minutes : {1440, 9999, -1}) {
    s.shared.TIMEOVER_MIN = minutes;
    w(1).CheckListBox1.clear();
    host.panes[0].lines = {line("1_3_", "STN1", "7.010", "11:29")};
    selectLines(host.panes[0], 0, 0);
    lists.FeedPatrolLists(false, 0);
    EXPECT_EQ(texts(1).size(), 1u) << minutes;
    EXPECT_EQ(texts(3).size(), 1u) << minutes;
    EXPECT_EQ(checks(1), std::vector<bool>{minutes > 0}) << minutes;
  }
}

TEST_F(PatrolTest, MainWindowNewSwitchReachesTheWindowsAndFeeds) {
  host.panes[0].lines = {line("12__", "STN1", "7.010")};
  host.newSwitch = true;
  lists.mainNewSwitched(true);
  EXPECT_TRUE(w(1).CheckBox2 && w(2).CheckBox2 && w(3).CheckBox2);
  EXPECT_EQ(texts(2), std::vector<std::string>{line("12__", "STN1", "7.010")});
  // Off through the popup item leaves the windows' boxes on.
  host.newSwitch = false;
  lists.mainNewToggledFromMenu(false);
  EXPECT_TRUE(w(1).CheckBox2 && w(2).CheckBox2 && w(3).CheckBox2);
  lists.mainNewSwitched(false);
  EXPECT_FALSE(w(1).CheckBox2 || w(2).CheckBox2 || w(3).CheckBox2);
}

}  // namespace
}  // namespace zeltaro::patrol
