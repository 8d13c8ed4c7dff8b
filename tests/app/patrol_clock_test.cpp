// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/patrol_clock.h"

#include <gtest/gtest.h>

namespace zeltaro::app {
namespace {

TEST(PatrolClock, IntervalButtonsSwitchThePatrol) {
  struct Case {
    int minutes;
    int selected;
    bool on;
  };
  const Case cases[] = {{0, 0, false}, {1, 0, false}, {2, 2, true}, {3, 3, true},
                        {4, 4, true},  {5, 5, true},  {6, 0, false}};
  for (const Case& c : cases) {
    PatrolClock clock;
    clock.clickIntervalButton(3);  // from another interval
    clock.clickIntervalButton(c.minutes);
    EXPECT_EQ(clock.selectedInterval(), c.selected) << c.minutes;
    EXPECT_EQ(clock.AutoPatrolOn, c.on) << c.minutes;
    EXPECT_EQ(clock.radioTimeSel_Off, !c.on) << c.minutes;
    const int checked = clock.radioTimeSel_Off + clock.radioTimeSel_2min + clock.radioTimeSel_3min +
                        clock.radioTimeSel_4min + clock.radioTimeSel_5min;
    EXPECT_EQ(checked, 1) << c.minutes;
  }
}

TEST(PatrolClock, CountsTheIntervalThenTheCycleIsDue) {
  PatrolClock clock;
  clock.selectInterval(2);
  int ticks = 0;
  while (!clock.countdown(true) && ticks < 1000) ++ticks;
  EXPECT_EQ(ticks, 120) << "120 counting ticks for two minutes, the cycle on the next";
  EXPECT_EQ(clock.ProgressBar1, 60);
  EXPECT_TRUE(clock.countdown(true)) << "due until the cycle restarts the countdown";
  clock.restartCountdown();
  EXPECT_FALSE(clock.countdown(true));
  EXPECT_EQ(clock.PatrolTicks, 1);
  EXPECT_EQ(clock.ProgressBar1, 0);
}

TEST(PatrolClock, TheProgressBarShowsSecondsPerInterval) {
  PatrolClock clock;
  clock.selectInterval(3);
  for (int i = 0; i < 90; ++i) clock.countdown(true);
  EXPECT_EQ(clock.PatrolTicks, 90);
  EXPECT_EQ(clock.ProgressBar1, 30);
}

TEST(PatrolClock, NoUsablePageOrPatrolOffStartsAgainFromZero) {
  PatrolClock clock;
  clock.selectInterval(2);
  for (int i = 0; i < 50; ++i) clock.countdown(true);
  EXPECT_FALSE(clock.countdown(false));
  EXPECT_EQ(clock.PatrolTicks, 0);
  EXPECT_EQ(clock.ProgressBar1, 0);

  for (int i = 0; i < 50; ++i) clock.countdown(true);
  clock.selectOff();
  EXPECT_FALSE(clock.countdown(true));
  EXPECT_EQ(clock.PatrolTicks, 0);
  EXPECT_EQ(clock.ProgressBar1, 0);
}

TEST(PatrolClock, ADoubleClickMakesTheCycleDueAtTheNextTick) {
  PatrolClock clock;
  clock.intervalDoubleClick(4);
  EXPECT_EQ(clock.selectedInterval(), 4);
  EXPECT_TRUE(clock.countdown(true));
  EXPECT_TRUE(clock.countdown(false)) << "a due cycle does not ask for a usable page again";
}

TEST(PatrolClock, TheFirstTickComesOnce) {
  PatrolClock clock;
  EXPECT_TRUE(clock.firstTick());
  EXPECT_FALSE(clock.firstTick());
  EXPECT_FALSE(clock.firstTick());
}

TEST(PatrolClock, TheActivityImageBlinksWhileACheckRunsAndStartsDarkAgain) {
  PatrolClock clock;
  EXPECT_FALSE(clock.blink(false));
  EXPECT_TRUE(clock.blink(false));
  EXPECT_FALSE(clock.blink(false));
  EXPECT_FALSE(clock.blink(true));
  EXPECT_FALSE(clock.blink(false)) << "after a rest the blink starts dark";
  EXPECT_TRUE(clock.blink(false));
}

}  // namespace
}  // namespace zeltaro::app
