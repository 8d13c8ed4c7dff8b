// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The automatic patrol's clock: Timer1's one-second countdown to the next patrol cycle, the
// interval buttons, and the activity image's blink while a check runs. It decides when a cycle
// is due; running it is the page checks' business.

namespace zeltaro::app {

class PatrolClock {
 public:
  // An interval button (2 ... 5 minutes) clicked: the patrol switches on with it.
  void selectInterval(int minutes);
  // "Off" clicked: the patrol switches off.
  void selectOff();
  // Clicks the interval button for minutes (2 ... 5), or Off for any other value.
  void clickIntervalButton(int minutes);
  // A double click on an interval button: selected, and the cycle due at the next tick.
  void intervalDoubleClick(int minutes);
  // The selected interval in minutes, 0 for Off (the TimeSel setting).
  int selectedInterval() const;

  // True at the first tick only (the rig port opens then).
  bool firstTick();
  // The activity image of a tick: dark at rest, blinking every other tick while a check runs.
  bool blink(bool atRest);
  // A tick while no check runs: counts towards the next cycle while the patrol is on and some
  // page can be checked (anyUsable), else starts again from zero. True when the cycle is due.
  bool countdown(bool anyUsable);
  // The countdown starts again from zero (a check ran, a cycle ended, start-up).
  void restartCountdown();

  bool radioTimeSel_Off = true, radioTimeSel_2min = false, radioTimeSel_3min = false,
       radioTimeSel_4min = false, radioTimeSel_5min = false;
  bool AutoPatrolOn = false;
  bool PatrolRunning = false;  // a patrol cycle's checks are running
  int PatrolTicks = 0;         // seconds counted towards the next cycle
  int ProgressBar1 = 0;        // 0 ... 60, 60 when the cycle is due
  bool Timer1Enabled = false;

 private:
  int blinkCounter_ = 0;
  bool firstTickDone_ = false;
};

}  // namespace zeltaro::app
