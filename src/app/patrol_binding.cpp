// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/patrol_binding.h"

#include "app/main_model.h"

namespace zeltaro::app {

PatrolListsBinding::PatrolListsBinding(MainModel& model, const platform::Clock& clock,
                                       patrol::LineTransfer* transfer)
    : model_(model), lists_(model.station, clock, transfer, this) {
  model_.attachPatrolLists(this);
}

PatrolListsBinding::~PatrolListsBinding() { model_.attachPatrolLists(nullptr); }

void PatrolListsBinding::feedNewest() {
  lists_.FeedNewest();
  changed();
}

void PatrolListsBinding::stopPatrol(bool alsoNew) {
  lists_.stopPatrol(alsoNew);
  changed();
}

void PatrolListsBinding::feed(bool append, int pane) {
  append ? lists_.feedPatrolListsAppending(pane) : lists_.feedPatrolListsReplacing(pane);
  changed();
}

void PatrolListsBinding::newSwitched(bool on, bool fromMenu) {
  fromMenu ? lists_.mainNewToggledFromMenu(on) : lists_.mainNewSwitched(on);
  changed();
}

bool PatrolListsBinding::mainNewSwitch() const { return model_.logViews.CheckBox2; }
void PatrolListsBinding::setMainNewSwitch(bool on) { model_.logViews.CheckBox2 = on; }

views::Pane* PatrolListsBinding::alignedPane(int pane) {
  views::Pane* panes[] = {&model_.logViews.Memo_Log2, &model_.logViews.Memo_Log3,
                          &model_.logViews.Memo_Log4, &model_.logViews.Memo_Log5};
  return pane >= 0 && pane < 4 ? panes[pane] : nullptr;
}

bool PatrolListsBinding::autoPatrolSelected() const { return !model_.patrolClock.radioTimeSel_Off; }
// The countdown at its end: the next tick of Timer1 starts the cycle.
void PatrolListsBinding::manualAccess() { model_.patrolClock.ProgressBar1 = 60; }
void PatrolListsBinding::clearLog() { model_.clearLogs(); }
void PatrolListsBinding::saveSettings() { model_.saveNow(); }

}  // namespace zeltaro::app
