// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/patrol_clock.h"

namespace zeltaro::app {

void PatrolClock::selectInterval(int minutes) {
  radioTimeSel_Off = false;
  radioTimeSel_2min = minutes == 2;
  radioTimeSel_3min = minutes == 3;
  radioTimeSel_4min = minutes == 4;
  radioTimeSel_5min = minutes == 5;
  AutoPatrolOn = true;
}

void PatrolClock::selectOff() {
  radioTimeSel_Off = true;
  radioTimeSel_2min = radioTimeSel_3min = radioTimeSel_4min = radioTimeSel_5min = false;
  AutoPatrolOn = false;
}

void PatrolClock::clickIntervalButton(int minutes) {
  if (minutes >= 2 && minutes <= 5)
    selectInterval(minutes);
  else
    selectOff();
}

void PatrolClock::intervalDoubleClick(int minutes) {
  selectInterval(minutes);  // the double click's first click has selected it
  ProgressBar1 = 60;
}

int PatrolClock::selectedInterval() const {
  if (radioTimeSel_Off) return 0;
  return radioTimeSel_2min   ? 2
         : radioTimeSel_3min ? 3
         : radioTimeSel_4min ? 4
         : radioTimeSel_5min ? 5
                             : 0;
}

bool PatrolClock::firstTick() {
  if (firstTickDone_) return false;
  firstTickDone_ = true;
  return true;
}

bool PatrolClock::blink(bool atRest) {
  if (atRest) {
    blinkCounter_ = 0;
    return false;
  }
  const bool lit = blinkCounter_ % 2 == 1;
  ++blinkCounter_;
  return lit;
}

void PatrolClock::restartCountdown() {
  PatrolTicks = 0;
  ProgressBar1 = 0;
}

bool PatrolClock::countdown(bool anyUsable) {
  if (!AutoPatrolOn) {
    restartCountdown();
    return false;
  }
  if (ProgressBar1 >= 60 && !radioTimeSel_Off) return true;
  const int m = selectedInterval();
  if (radioTimeSel_Off || m == 0 || !anyUsable) {
    restartCountdown();
    return false;
  }
  ++PatrolTicks;
  ProgressBar1 = PatrolTicks > 60 * m - 1 ? 60 : PatrolTicks / m;
  return false;
}

}  // namespace zeltaro::app
