// SPDX-License-Identifier: GPL-3.0-or-later
// The buttons, keys and popup menu of a patrol window, its saved state and its life.
#include <gtest/gtest.h>

#include "patrol_fixture.h"

namespace zeltaro::patrol {
namespace {

using namespace testing_support;

class PatrolCommands : public PatrolTest {
 protected:
  PatrolCommands() {
    fill(1, {line("1___", "R0", "7.000"), line("1___", "R1", "7.001"), line("1___", "R2", "7.002"),
             line("1___", "R3", "7.003"), line("1___", "R4", "7.004")});
  }
  static std::string sentLine(const char* call, const char* freq) {
    return "1___DX 10/05/22 14:25 " + std::string(call) + " " + freq + " CW ";
  }
  std::string caption(const char* item) { return text::utf8FromCp932(w(1).menu[item].caption); }
};

TEST_F(PatrolCommands, StepDownOnTheOnlyEligibleRowRetransfersIt) {
  for (int i : {0, 1, 3, 4}) w(1).CheckListBox1[std::size_t(i)].checked = false;
  w(1).CurrentRow = 2;
  w(1).ProgressBar1 = 7;
  w(1).stepToNextRow();
  EXPECT_EQ(w(1).CurrentRow, 2);
  EXPECT_EQ(w(1).ItemIndex, 2);
  EXPECT_EQ(w(1).ProgressBar1, 0);
  EXPECT_EQ(w(1).LastSentRow, -1);
  EXPECT_EQ(sent.lines, std::vector<std::string>{sentLine("R2", "7.002")});
  w(1).stepToPreviousRow();
  EXPECT_EQ(sent.lines.size(), 2u);
  // No eligible row: no current row, nothing sent.
  w(1).uncheckAll();
  w(1).stepToNextRow();
  EXPECT_EQ(w(1).CurrentRow, -1);
  w(1).stepToPreviousRow();
  EXPECT_EQ(w(1).CurrentRow, -1);
  EXPECT_EQ(sent.lines.size(), 2u);
}

TEST_F(PatrolCommands, StepDownAndUpWrapAround) {
  w(1).CheckListBox1[3].checked = false;
  struct Case {
    int from;
    bool down;
    int to;
  };
  const Case cases[] = {{4, true, 0},  {1, true, 2},   {2, true, 4},  {-1, true, 0},
                        {0, false, 4}, {-1, false, 4}, {4, false, 2}, {2, false, 1}};
  for (const Case& c : cases) {
    w(1).CurrentRow = c.from;
    c.down ? w(1).stepToNextRow() : w(1).stepToPreviousRow();
    EXPECT_EQ(w(1).CurrentRow, c.to) << c.from << (c.down ? " down" : " up");
  }
}

TEST_F(PatrolCommands, DeletingRowsMovesTheCurrentRow) {
  struct Case {
    const char* name;
    int current, selected;
    std::vector<int> unchecked;
    int wantCurrent, wantSelected;
    std::vector<std::string> wantSent;
  };
  const Case cases[] = {
      {"current-3", 3, 3, {}, 3, 3, {sentLine("R4", "7.004")}},
      {"current-3-next-unchecked", 3, 3, {4}, 3, 3, {}},
      {"current-0", 0, 0, {}, 0, 0, {}},
      {"above-current", 3, 1, {}, 2, 1, {sentLine("R3", "7.003")}},
      {"below-current", 1, 3, {}, 1, 3, {}},
      {"last-row-other-current", 1, 4, {}, 3, 3, {sentLine("R3", "7.003")}},
      {"none-selected", 2, -1, {}, 2, -1, {}},
  };
  for (const Case& c : cases) {
    PatrolCommands::SetUp();
    fill(1,
         {line("1___", "R0", "7.000"), line("1___", "R1", "7.001"), line("1___", "R2", "7.002"),
          line("1___", "R3", "7.003"), line("1___", "R4", "7.004")},
         c.unchecked);
    sent.lines.clear();
    w(1).CurrentRow = c.current;
    w(1).ItemIndex = c.selected;
    w(1).handleListKey(PatrolKey::Delete, false, false);
    EXPECT_EQ(w(1).CurrentRow, c.wantCurrent) << c.name;
    EXPECT_EQ(w(1).ItemIndex, c.wantSelected) << c.name;
    EXPECT_EQ(sent.lines, c.wantSent) << c.name;
    EXPECT_EQ(w(1).rowCount(), c.selected < 0 ? 5 : 4) << c.name;
  }
}

TEST_F(PatrolCommands, DeletingWhileThePatrolRunsTransfersNothing) {
  w(1).setPatrol(true);
  w(1).CurrentRow = w(1).ItemIndex = 3;
  w(1).menuClick("N37");
  EXPECT_TRUE(sent.lines.empty());
  // Ctrl or Alt held: the key is not ours.
  w(1).handleListKey(PatrolKey::Delete, true, false);
  w(1).handleListKey(PatrolKey::Delete, false, true);
  EXPECT_EQ(w(1).rowCount(), 4);
  // The only row deleted: an empty list.
  fill(1, {line("1___", "R0", "7.000")});
  w(1).ItemIndex = 0;
  w(1).deleteSelectedRow();
  EXPECT_EQ(w(1).rowCount(), 0);
  EXPECT_EQ(w(1).ItemIndex, -1);
}

TEST_F(PatrolCommands, MarkUnchecksAndUnmarkRechecksOnlyAnEligibleRow) {
  s.set(1).RigFreq = (1 << 3);  // 7 MHz only
  fill(1, {line("1___", "IN", "7.010"), line("1___", "OUT", "3.510")});
  lists.setFeedTimeNow();
  for (int row : {0, 1}) {
    w(1).ItemIndex = row;
    w(1).prepareMenu();
    EXPECT_FALSE(w(1).menu["menu_MarkAndSkip"].checked);
    w(1).menuClick("menu_MarkAndSkip");
    EXPECT_EQ(w(1).CheckListBox1[std::size_t(row)].text[3], '*');
    EXPECT_FALSE(w(1).CheckListBox1[std::size_t(row)].checked);
    w(1).prepareMenu();
    EXPECT_TRUE(w(1).menu["menu_MarkAndSkip"].checked);
    w(1).markAndSkip();
    EXPECT_EQ(w(1).CheckListBox1[std::size_t(row)].text[3], '_');
  }
  EXPECT_EQ(checks(1), (std::vector<bool>{true, false}));
}

TEST_F(PatrolCommands, WatchSecondsFromTheMenuWaitForTheNextRestart) {
  w(1).setPatrol(true);
  EXPECT_EQ(w(1).Max, 30);
  w(1).menuClick("sec40");
  EXPECT_EQ(w(1).seconds(), 40);
  EXPECT_EQ(w(1).Max, 30);
  w(1).SavePatrolWindowState();
  EXPECT_EQ(s.set(1).Interval, 2);
  w(1).toggleRowCheck(0);
  EXPECT_EQ(w(1).Max, 400);
  EXPECT_FALSE(w(1).CheckListBox1[0].checked);
  // A choice in the list itself is the saved one.
  w(1).ComboBox1 = 9;
  w(1).chooseWatchSeconds();
  EXPECT_EQ(w(1).Max, 100);
  w(1).SavePatrolWindowState();
  EXPECT_EQ(s.set(1).Interval, 9);
}

TEST_F(PatrolCommands, AllPatrolsOffSwitchesEveryPatrolAndEveryNewOff) {
  host.newSwitch = true;
  for (int n = 1; n <= 3; ++n) {
    w(n).setPatrol(true);
    w(n).CheckBox2 = true;
  }
  w(2).menuClick("N3");
  for (int n = 1; n <= 3; ++n) {
    EXPECT_FALSE(w(n).CheckBox1) << n;
    EXPECT_FALSE(w(n).Timer1Enabled) << n;
    EXPECT_FALSE(w(n).CheckBox2) << n;
  }
  EXPECT_FALSE(host.newSwitch);
}

TEST_F(PatrolCommands, NewOffInAWindowLeavesTheOthersOn) {
  host.newSwitch = true;
  for (int n = 1; n <= 3; ++n) w(n).CheckBox2 = true;
  w(1).menuClick("newOFF1");
  EXPECT_FALSE(w(1).CheckBox2);
  EXPECT_TRUE(host.newSwitch && w(2).CheckBox2 && w(3).CheckBox2);
  // "新着 ON" switches everything on and feeds.
  host.panes[0].lines = {line("__3_", "STN3", "7.010")};
  w(1).menuClick("newN1");
  EXPECT_TRUE(host.newSwitch && w(1).CheckBox2 && w(2).CheckBox2 && w(3).CheckBox2);
  EXPECT_EQ(texts(3), std::vector<std::string>{line("__3_", "STN3", "7.010")});
  // The box clicked off: the main window and the other windows follow, nothing is fed.
  w(3).CheckBox2 = false;
  w(3).applyNewSwitch();
  EXPECT_FALSE(host.newSwitch || w(1).CheckBox2 || w(2).CheckBox2);
}

TEST_F(PatrolCommands, DoubleClickTransfersTheSelectedRowAndStopsPatrolAndNew) {
  host.newSwitch = true;
  for (int n = 1; n <= 3; ++n) w(n).CheckBox2 = true;
  w(1).setPatrol(true);
  w(1).ItemIndex = 3;
  w(1).transferOnDoubleClick();
  EXPECT_FALSE(w(1).CheckBox1);
  EXPECT_FALSE(w(1).Timer1Enabled);
  EXPECT_EQ(w(1).CurrentRow, 3);
  EXPECT_EQ(w(1).LastSentRow, 3);
  EXPECT_FALSE(host.newSwitch || w(1).CheckBox2 || w(2).CheckBox2 || w(3).CheckBox2);
  EXPECT_EQ(sent.lines, std::vector<std::string>{sentLine("R3", "7.003")});
  w(1).ItemIndex = -1;
  w(1).handleListKey(PatrolKey::Enter, false, false);
  EXPECT_EQ(sent.lines.size(), 1u);
}

TEST_F(PatrolCommands, PopupMenuCaptionsAndMarks) {
  w(1).CheckBox5 = false;
  w(1).prepareMenu();
  EXPECT_TRUE(w(1).Paused);
  EXPECT_EQ(caption("menu_MarkAndSkip"), "ﾏｰｸ && ｽｷｯﾌﾟ");
  EXPECT_EQ(caption("N13"), "ワッチ(3秒)");
  EXPECT_EQ(caption("LogALLnew1"), "LogALL new (10件)");
  EXPECT_EQ(caption("N22"), "時間経過設定(180分)");
  EXPECT_EQ(caption("sec3"), " 3秒");
  EXPECT_EQ(caption("sec40"), " 40秒");
  EXPECT_EQ(caption("count5"), " 5件");
  EXPECT_EQ(caption("age30"), "30分");
  std::vector<std::string> checked;
  for (const auto& [name, st] : w(1).menu)
    if (st.checked) checked.push_back(name);
  EXPECT_EQ(checked, (std::vector<std::string>{"N11", "N1101", "N21", "N25", "age180", "count10",
                                               "newOFF1", "sec3"}));
  EXPECT_FALSE(w(1).menu["N15"].enabled);
  EXPECT_TRUE(w(1).menu["N6"].enabled);

  // Other values: 35 seconds, a count and an age without an item, an empty list.
  w(1).menuClick("count25");
  w(1).menuClick("age90");
  w(1).ComboBox1 = 34;
  w(1).deleteAllRows();
  host.autoPatrol = true;
  w(1).prepareMenu();
  EXPECT_EQ(s.shared.NEW_STNS, 25);
  EXPECT_EQ(s.shared.TIMEOVER_MIN, 90);
  EXPECT_EQ(caption("N13"), "ワッチ(35秒)");
  EXPECT_TRUE(w(1).menu["N14"].checked);
  EXPECT_FALSE(w(1).menu["sec30"].checked || w(1).menu["sec40"].checked);
  EXPECT_TRUE(w(1).menu["count25"].checked && w(1).menu["age90"].checked);
  for (const char* item : {"menu_MarkAndSkip", "N6", "N7", "N37", "N38", "C1", "N20"})
    EXPECT_FALSE(w(1).menu[item].enabled) << item;
  EXPECT_TRUE(w(1).menu["N15"].enabled);
  s.shared.NEW_STNS = 12;
  w(1).prepareMenu();
  for (const auto& [name, st] : w(1).menu)
    EXPECT_FALSE(name.rfind("count", 0) == 0 && st.checked) << name;
}

TEST_F(PatrolCommands, MenuItemsForTheMainWindowAndTheSwitches) {
  for (const char* item : {"N15", "CLR1", "SAVE1", "N25"}) w(1).menuClick(item);
  EXPECT_EQ(host.manualAccesses, 1);
  EXPECT_EQ(host.clears, 1);
  EXPECT_EQ(host.saves, 1);
  EXPECT_TRUE(s.shared.TIMEOVER_CHK);
  for (const char* item : {"N4", "N12", "N11", "N21", "N31", "P1"}) w(1).menuClick(item);
  EXPECT_TRUE(w(1).CheckBox7 && w(1).Timer2Enabled && w(1).CheckBox6 && w(1).CheckBox1);
  EXPECT_FALSE(w(1).CheckBox3 || w(1).CheckBox4 || w(1).CheckBox5);
  w(1).menuClick("N20");
  EXPECT_EQ(checks(1), std::vector<bool>(5, false));
  w(1).menuClick("C1");
  EXPECT_EQ(checks(1), std::vector<bool>(5, true));
  w(1).menuClick("N6");
  EXPECT_EQ(w(1).rowCount(), 0);
  EXPECT_EQ(w(1).CurrentRow, -1);
}

TEST_F(PatrolCommands, SavedStateAndThePositionRule) {
  struct Case {
    settings::WindowGeometry saved;
    std::array<int, 4> want;  // Left, Top, Width, Height
  };
  const Case cases[] = {{{10, 20, 300, 400}, {10, 20, 400, 300}},
                        {{10, 20, 300, 20}, {120, 120, 780, 300}},
                        {{10, 20, 10, 400}, {120, 120, 780, 300}},
                        {{10, 20, 11, 21}, {10, 20, 21, 11}}};
  for (const Case& c : cases) {
    s.trans[1] = c.saved;
    PatrolWindow fresh(lists, 2);
    fresh.createWithFont({12, -16});
    EXPECT_EQ((std::array<int, 4>{fresh.Left, fresh.Top, fresh.Width, fresh.Height}), c.want);
  }
  s.set(3).Interval = 9;
  s.pilot[2] = {true, true, false, true, false};
  PatrolWindow third(lists, 3);
  third.createWithFont({72, -96});
  EXPECT_EQ(third.Caption, text::sj(" Zeltaro v2.11 巡回転送リスト [ 3 ]"));
  EXPECT_EQ(third.ItemHeight, 96);
  EXPECT_EQ(third.seconds(), 10);
  EXPECT_TRUE(third.CheckBox6 && third.CheckBox7 && third.Timer2Enabled && third.CheckBox4);
  EXPECT_FALSE(third.CheckBox3 || third.CheckBox5);
  third.Left = 5;
  third.Top = 6;
  third.Width = 700;
  third.Height = 200;
  third.IntervalIndex = 4;
  third.CheckBox5 = true;
  third.CheckListBox1.push_back({line("__3_", "X", "7.0"), true});
  third.closeByOperator();
  EXPECT_EQ(s.trans[2].Left, 5);
  EXPECT_EQ(s.trans[2].Top, 6);
  EXPECT_EQ(s.trans[2].Width, 700);
  EXPECT_EQ(s.trans[2].Height, 200);
  EXPECT_EQ(s.set(3).Interval, 4);
  EXPECT_TRUE(s.pilot[2].Sel3);
  EXPECT_EQ(third.rowCount(), 0);
  EXPECT_FALSE(third.Timer2Enabled);
  // A saved step outside the list's items is used clamped to its last item, and kept.
  s.set(3).Interval = 300;
  third.createWithFont({12, -16});
  EXPECT_EQ(third.seconds(), 300);
  third.closeByOperator();
  EXPECT_EQ(s.set(3).Interval, 300);
}

TEST_F(PatrolCommands, RowColoursOfTheCurrentRow) {
  w(1).CurrentRow = 2;
  w(1).ItemIndex = 2;
  EXPECT_EQ(w(1).rowColour(2), RowColour::Red);
  w(1).ItemIndex = 1;
  EXPECT_EQ(w(1).rowColour(2), RowColour::Yellow);
  EXPECT_EQ(w(1).rowColour(1), RowColour::Selection);
  EXPECT_EQ(w(1).rowColour(0), RowColour::Window);
}

TEST_F(PatrolCommands, StopPatrolAndVisibilityForTheTransfer) {
  EXPECT_TRUE(lists.anyVisible());
  for (int n = 1; n <= 3; ++n) {
    w(n).setPatrol(true);
    w(n).CheckBox2 = true;
  }
  lists.stopPatrol(false);
  EXPECT_FALSE(w(1).CheckBox1 || w(2).CheckBox1 || w(3).CheckBox1);
  EXPECT_TRUE(w(1).CheckBox2 && w(2).CheckBox2 && w(3).CheckBox2);
  lists.stopPatrol(true);
  EXPECT_FALSE(w(1).CheckBox2 || w(2).CheckBox2 || w(3).CheckBox2);
  w(1).closeByOperator();
  EXPECT_FALSE(lists.anyVisible());
}

}  // namespace
}  // namespace zeltaro::patrol
