// SPDX-License-Identifier: GPL-3.0-or-later
// Double-clicking a log pane: the caret's line (Memo_Log's through its aligned twin) goes to the
// transfer after the patrol lists stopped and the main window became the last active one.
#include <gtest/gtest.h>

#include "app/main_model.h"

namespace zeltaro::app {
namespace {

using Lines = std::vector<std::string>;

struct Recorder final : PatrolListsLink, TransferLink {
  Lines events;
  void feedNewest() override {}
  void applyFont(const views::PaneFont&) override {}
  void stopPatrol(bool alsoNew) override { events.push_back(alsoNew ? "stop+new" : "stop"); }
  bool anyVisible() const override { return false; }
  void feed(bool, int) override {}
  void newSwitched(bool, bool) override {}
  void saveVisibleWindows() override {}
  void TransferLine(std::string_view line) override { events.emplace_back(line); }
};

class LogDoubleClickTest : public ::testing::Test {
 protected:
  LogDoubleClickTest() {
    model.attachPatrolLists(&recorder);
    model.attachTransfer(&recorder);
    model.mainWindowId = &mainWindow;
    model.LastActiveWindow = &otherWindow;
    model.logViews.CheckBox2 = true;
    model.logViews.Memo_Log.lines = {"1___STN1 7,010 CW", "__3_JA3AAA 14,020 SSB",
                                     "_2__JA9ZZZ 21,030"};
    model.logViews.Memo_Log2.lines = {"1___STN1   7,010  CW ", "__3_JA3AAA 14,020 SSB "};
    model.logViews.Memo_Log5.lines = {"__3_JA3AAA 14,020 SSB "};
  }
  Recorder recorder;
  int mainWindow = 0, otherWindow = 0;
  MainModel model;
};

TEST_F(LogDoubleClickTest, TheCaretsLineIsTransferred) {
  struct Case {
    const char* name;
    void (MainModel::*handler)();
    views::Pane LogViews::*pane;
    int caret;
    Lines events;
    bool newStaysOn;
  };
  const Case cases[] = {
      // Memo_Log's second line goes through its twin in Memo_Log2.
      {"Memo_Log",
       &MainModel::transferFromNoticeLog,
       &LogViews::Memo_Log,
       20,
       {"stop", "__3_JA3AAA 14,020 SSB "},
       true},
      {"Memo_Log2 switches new off",
       &MainModel::transferFromAlignedLog,
       &LogViews::Memo_Log2,
       3,
       {"stop+new", "1___STN1   7,010  CW "},
       false},
      // The caret in the CR LF after a line still belongs to it.
      {"Memo_Log2 end of line",
       &MainModel::transferFromAlignedLog,
       &LogViews::Memo_Log2,
       22,
       {"stop+new", "1___STN1   7,010  CW "},
       false},
      {"Memo_Log5",
       &MainModel::transferFromList3Log,
       &LogViews::Memo_Log5,
       0,
       {"stop", "__3_JA3AAA 14,020 SSB "},
       true},
      // A line of Memo_Log without a twin: the patrol stops, nothing is transferred.
      {"Memo_Log without twin",
       &MainModel::transferFromNoticeLog,
       &LogViews::Memo_Log,
       45,
       {"stop"},
       true},
      // The caret below the last line: nothing at all.
      {"past the end", &MainModel::transferFromList3Log, &LogViews::Memo_Log5, 24, {}, true},
  };
  for (const Case& c : cases) {
    recorder.events.clear();
    model.logViews.CheckBox2 = true;
    model.LastActiveWindow = &otherWindow;
    (model.logViews.*c.pane).selStart = c.caret;
    (model.*c.handler)();
    EXPECT_EQ(recorder.events, c.events) << c.name;
    EXPECT_EQ(model.logViews.CheckBox2, c.newStaysOn) << c.name;
    EXPECT_EQ(model.LastActiveWindow, c.events.empty() ? &otherWindow : &mainWindow) << c.name;
  }
}

TEST_F(LogDoubleClickTest, AnEmptyPaneDoesNothing) {
  model.logViews.Memo_Log3.selStart = 0;
  model.transferFromList1Log();
  EXPECT_TRUE(recorder.events.empty());
  EXPECT_TRUE(model.logViews.CheckBox2);
}

}  // namespace
}  // namespace zeltaro::app
