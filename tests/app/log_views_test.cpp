// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/log_views.h"

#include <gtest/gtest.h>

#include "support/recorders.h"
#include "views/log_font.h"

namespace zeltaro::app {
namespace {

using Lines = std::vector<std::string>;
using views::LogFilter;

// Records what the log views ask of the patrol lists.
struct PatrolListsRecorder final : PatrolListsLink {
  Lines events;
  void feedNewest() override { events.push_back("feed newest"); }
  void applyFont(const views::PaneFont&) override { events.push_back("font"); }
  void stopPatrol(bool) override { events.push_back("stop"); }
  bool anyVisible() const override { return false; }
  void feed(bool append, int pane) override {
    events.push_back((append ? "append " : "replace ") + std::to_string(pane));
  }
  void newSwitched(bool on, bool fromMenu) override {
    events.push_back(std::string("new ") + (on ? "on" : "off") + (fromMenu ? " menu" : ""));
  }
  void saveVisibleWindows() override { events.push_back("save"); }
};

class LogViewsTest : public ::testing::Test {
 protected:
  LogViewsTest() {
    services.patrolLists = &lists;
    services.clipboard = &clipboard;
  }
  PatrolListsRecorder lists;
  platform::RecordingClipboard clipboard;
  MainServices services;
  LogViews log{services};
};

TEST_F(LogViewsTest, AFilterButtonIsCheckedAloneAndRemembered) {
  const LogFilter filters[] = {LogFilter::List2, LogFilter::Stacked, LogFilter::All,
                               LogFilter::List1, LogFilter::List3};
  for (LogFilter f : filters) {
    log.filterButtonClick(f);
    EXPECT_EQ(log.checkedFilter(), f);
    EXPECT_EQ(log.Log123, static_cast<int>(f));
    EXPECT_EQ(log.RadioButton1 + log.RadioButton2 + log.RadioButton3 + log.RadioButton4 +
                  log.RadioButton5,
              1);
  }
}

TEST_F(LogViewsTest, ColumnCountFollowsTheComboItemWithinItsRange) {
  const std::pair<int, int> cases[] = {{0, 2}, {7, 9}, {28, 30}, {29, 1}, {-1, 1}};
  for (const auto& [item, columns] : cases) {
    log.ComboBox1 = item;
    EXPECT_EQ(log.columnCount(), columns) << item;
  }
}

TEST_F(LogViewsTest, TheLogKeepsItsNewestLinesUpToTheCap) {
  log.Memo_Log.lines.clear();
  for (std::size_t i = 0; i < kLogCap + 5; ++i) log.Memo_Log.lines.push_back(std::to_string(i));
  log.capLog();
  ASSERT_EQ(log.Memo_Log.lines.size(), kLogCap);
  EXPECT_EQ(log.Memo_Log.lines.front(), "0");
  EXPECT_EQ(log.Memo_Log.lines.back(), std::to_string(kLogCap - 1));
}

TEST_F(LogViewsTest, RebuildingTheViewsFeedsThePatrolLists) {
  log.Memo_Log.lines = {"1___JA1AAA 7,010 CW"};
  log.refreshPanes();
  EXPECT_EQ(log.Memo_Log2.lines.size(), 1u);
  EXPECT_EQ(log.Memo_Log3.lines.size(), 1u) << "list 1's pane";
  EXPECT_TRUE(log.Memo_Log4.lines.empty());
  EXPECT_EQ(lists.events, Lines{"feed newest"});
}

TEST_F(LogViewsTest, TheNewSwitchAndThePopupItemsReachThePatrolLists) {
  log.toggleNewSwitch();
  EXPECT_TRUE(log.CheckBox2);
  log.CheckBox2 = false;
  log.applyNewSwitch();
  log.feedPatrolListsReplacing(0);
  log.feedPatrolListsAppending(3);
  log.feedPatrolListsAppending(-1);  // no aligned pane has the focus
  log.feedPatrolListsReplacing(4);
  EXPECT_EQ(lists.events, (Lines{"new on menu", "new off", "replace 0", "append 3"}));
}

TEST_F(LogViewsTest, AFontItemOutsideTheListSelectsNoneAndKeepsTheFonts) {
  const views::PaneFont before = log.Memo_Log.font;
  log.ComboBox2 = 99;
  log.applyLogFont();
  EXPECT_EQ(log.ComboBox2, -1);
  EXPECT_EQ(log.Memo_Log.font, before);
  EXPECT_TRUE(lists.events.empty());
}

TEST_F(LogViewsTest, CtrlCCopiesTheSelectionAndCtrlASelectsAll) {
  log.Memo_Log.lines = {"AB", "CD"};
  log.paneKeyDown(log.Memo_Log, 'C', false);
  EXPECT_TRUE(clipboard.copied.empty());
  log.paneKeyDown(log.Memo_Log, 'A', true);
  log.paneKeyDown(log.Memo_Log, 'C', true);
  ASSERT_EQ(clipboard.copied.size(), 1u);
  EXPECT_EQ(clipboard.copied[0].substr(0, 6), "AB\r\nCD");
}

}  // namespace
}  // namespace zeltaro::app
