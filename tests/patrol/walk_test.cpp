// SPDX-License-Identifier: GPL-3.0-or-later
// The walk of a patrol window, tick by tick (each tick stands for 100 ms), and the re-set.
#include <gtest/gtest.h>

#include "patrol_fixture.h"

namespace zeltaro::patrol {
namespace {

using namespace testing_support;

class PatrolWalk : public PatrolTest {
 protected:
  // Ticks window n `count` times; returns the tick numbers (from 1) that transferred, with
  // the call of the line.
  std::vector<std::pair<int, std::string>> tick(int n, int count) {
    std::vector<std::pair<int, std::string>> at;
    for (int t = 1; t <= count; ++t) {
      const std::size_t before = sent.lines.size();
      w(n).tick();
      if (sent.lines.size() > before) at.emplace_back(t, call(sent.lines.back()));
    }
    return at;
  }
  static std::string call(const std::string& l) { return l.substr(22, l.find(' ', 22) - 22); }
  void patrolOn(int n, int secondsIndex) {
    w(n).ComboBox1 = secondsIndex;
    w(n).CheckBox1 = true;
    w(n).applyPatrolSwitch();
  }
};

using Ticks = std::vector<std::pair<int, std::string>>;

TEST_F(PatrolWalk, TwoRowsAtOneSecondAlternateEveryElevenTicks) {
  fill(1, {line("1___", "AAA", "7.001"), line("1___", "BBB", "7.002")});
  patrolOn(1, 0);
  EXPECT_EQ(w(1).Max, 10);
  EXPECT_EQ(tick(1, 34), (Ticks{{1, "AAA"}, {12, "BBB"}, {23, "AAA"}, {34, "BBB"}}));
  EXPECT_EQ(sent.lines[0], "1___DX 10/05/22 14:25 AAA 7.001 CW ");
}

TEST_F(PatrolWalk, ThreeSecondsGiveATransferEveryThirtyOneTicks) {
  fill(1, {line("1___", "AAA", "7.001"), line("1___", "BBB", "7.002")});
  patrolOn(1, 2);
  EXPECT_EQ(tick(1, 63), (Ticks{{1, "AAA"}, {32, "BBB"}, {63, "AAA"}}));
}

TEST_F(PatrolWalk, ASingleEligibleRowIsTransferredOnce) {
  fill(1, {line("1___", "AAA", "7.001"), line("1___", "BBB", "7.002")}, {1});
  patrolOn(1, 0);
  EXPECT_EQ(tick(1, 40), (Ticks{{1, "AAA"}}));
}

// A transfer lets the window run with HAMLOG's window in front: the walk's ticks meanwhile
// neither transfer, nor count, nor switch the patrol off.
TEST_F(PatrolWalk, TicksDuringATransferWaitForIt) {
  fill(1, {line("1___", "AAA", "7.001"), line("1___", "BBB", "7.002")});
  patrolOn(1, 0);
  Ticks meanwhile{{0, "none"}};
  sent.during = [&] {
    view[0].front = false;
    meanwhile = tick(1, 10);
    view[0].front = true;
  };
  EXPECT_EQ(tick(1, 12), (Ticks{{1, "AAA"}, {12, "BBB"}}));
  EXPECT_EQ(meanwhile, Ticks{});
  EXPECT_TRUE(w(1).CheckBox1);
}

TEST_F(PatrolWalk, NotInFrontForFourTicksSwitchesThePatrolOff) {
  fill(1, {line("1___", "AAA", "7.001")});
  view[0].front = false;
  patrolOn(1, 0);
  tick(1, 3);
  EXPECT_TRUE(w(1).CheckBox1);
  w(1).Paused = true;
  tick(1, 1);
  EXPECT_FALSE(w(1).CheckBox1);
  EXPECT_FALSE(w(1).Timer1Enabled);
  EXPECT_FALSE(w(1).Paused);
  EXPECT_EQ(w(1).ProgressBar1, 0);
  EXPECT_EQ(w(1).LastSentRow, -1);
}

TEST_F(PatrolWalk, EachWindowCountsItsOwnTicksOutOfFront) {
  fill(1, {line("1___", "AAA", "7.001")});
  fill(2, {line("_2__", "BBB", "7.002")});
  view[1].front = false;
  patrolOn(1, 0);
  patrolOn(2, 0);
  for (int t = 0; t < 4; ++t) {
    w(1).tick();  // the window in front does not keep the other one going
    w(2).tick();
  }
  EXPECT_TRUE(w(1).CheckBox1);
  EXPECT_FALSE(w(2).CheckBox1);
}

TEST_F(PatrolWalk, AnOpenWatchSecondsListSuspendsEveryWalk) {
  fill(1, {line("1___", "AAA", "7.001"), line("1___", "BBB", "7.002")});
  patrolOn(1, 0);
  w(3).suspendWalkForList();
  view[0].front = false;  // not even counted while suspended
  EXPECT_TRUE(tick(1, 30).empty());
  EXPECT_EQ(w(1).ProgressBar1, 0);
  EXPECT_TRUE(w(1).CheckBox1);
  w(3).resumeWalkAfterList();
  view[0].front = true;
  EXPECT_EQ(tick(1, 12), (Ticks{{1, "AAA"}, {12, "BBB"}}));
}

TEST_F(PatrolWalk, ListBoxTwoOffSkipsRowsOfListTwoOnly) {
  fill(1, {line("1___", "AAA", "7.001"), line("_2__", "BBB", "7.002"), line("12__", "CCC", "7.003"),
           line("_23_", "DDD", "7.004")});
  w(1).CheckBox4 = false;
  patrolOn(1, 0);
  EXPECT_EQ(tick(1, 34), (Ticks{{1, "AAA"}, {12, "CCC"}, {23, "DDD"}, {34, "AAA"}}));
  w(1).CheckBox5 = false;
  EXPECT_EQ(tick(1, 33), (Ticks{{11, "CCC"}, {22, "AAA"}, {33, "CCC"}}));
  EXPECT_EQ(checks(1), (std::vector<bool>{true, true, true, true}));
}

TEST_F(PatrolWalk, ACurrentRowPastTheEndIsNotTransferredAndTheWalkRestartsAtTheTop) {
  fill(1, {line("1___", "AAA", "7.001"), line("1___", "BBB", "7.002")}, {0});
  w(1).CurrentRow = 5;
  patrolOn(1, 0);
  EXPECT_EQ(tick(1, 12), (Ticks{{12, "BBB"}}));
  EXPECT_EQ(w(1).CurrentRow, 1);
}

TEST_F(PatrolWalk, AWindowWhoseFolderMatchesNoListTransfersNothing) {
  fill(1, {line("1___", "AAA", "7.001"), line("1___", "BBB", "7.002")});
  w(1).Folder = "D:\\ELSEWHERE\\";
  patrolOn(1, 0);
  EXPECT_TRUE(tick(1, 40).empty());
  EXPECT_EQ(w(1).CurrentRow, 1);  // the walk itself goes on
}

TEST_F(PatrolWalk, TheTransferUsesTheFlagsOfTheWindowsFolder) {
  s.set(2).HAMLOG = s.set(1).HAMLOG;
  fill(2, {line("_2__", "BBB", "7.002")});
  w(2).Folder = s.set(2).HAMLOG;  // the same as list 1's
  std::string marked = line("_2__", "CCC", "7.003");
  marked[3] = '*';
  w(2).TransferPatrolRow(marked);
  EXPECT_EQ(sent.lines, std::vector<std::string>{"1__*DX 10/05/22 14:25 CCC 7.003 CW "});
}

TEST_F(PatrolWalk, AnEmptyListHoldsTheWalkAtTheTop) {
  fill(1, {});
  w(1).CurrentRow = 3;
  patrolOn(1, 0);
  tick(1, 5);
  EXPECT_EQ(w(1).CurrentRow, 0);
  EXPECT_EQ(w(1).ProgressBar1, 0);
}

TEST_F(PatrolWalk, ThePopupMenuHaltsTheWalkUntilTheMouseComesBack) {
  fill(1, {line("1___", "AAA", "7.001"), line("1___", "BBB", "7.002")});
  patrolOn(1, 0);
  tick(1, 1);
  w(1).prepareMenu();
  tick(1, 30);
  EXPECT_EQ(w(1).ProgressBar1, 1);
  w(1).clearPaused();
  EXPECT_EQ(tick(1, 11), (Ticks{{11, "BBB"}}));
}

TEST_F(PatrolWalk, ReSetChecksEveryUnmarkedEligibleRowAndStartsAtTheFirst) {
  std::string marked = line("1___", "MMM", "7.001");
  marked[3] = '*';
  fill(1,
       {marked, line("1___", "OFF", "7.002"), line("1___", "OLD", "7.003", "11:00"),
        line("_2__", "TWO", "7.004")},
       {1, 3});
  w(1).Folder = s.set(1).HAMLOG;
  w(1).CurrentRow = -1;
  clock.set({2010, 5, 22, 14, 30, 0});
  w(1).resetNow();
  EXPECT_EQ(checks(1), (std::vector<bool>{false, true, false, true}));
  EXPECT_EQ(w(1).CurrentRow, 1);
  EXPECT_EQ(w(1).ItemIndex, 1);
  EXPECT_EQ(sent.lines, std::vector<std::string>{"1___DX 10/05/22 14:25 OFF 7.002 CW "});
  // Window 1's own bands decide, also for a row of list 2.
  s.set(1).RigFreq = 1 << 14;
  w(1).ResetPatrolChecks();
  EXPECT_EQ(checks(1), (std::vector<bool>{false, false, false, false}));
  EXPECT_EQ(sent.lines.size(), 1u);
}

}  // namespace
}  // namespace zeltaro::patrol
