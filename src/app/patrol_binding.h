// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The transfer patrol lists as the main window's model meets them: the three window models of
// patrol/ behind PatrolListsLink, with the main window's controls as their host.

#include <functional>

#include "app/main_links.h"
#include "patrol/patrol_lists.h"

namespace zeltaro::app {

class MainModel;

class PatrolListsBinding final : public PatrolListsLink, public patrol::PatrolHost {
 public:
  // transfer may be null (nothing reaches HAMLOG). Attaches itself to the model.
  PatrolListsBinding(MainModel& model, const platform::Clock& clock,
                     patrol::LineTransfer* transfer);
  ~PatrolListsBinding() override;

  patrol::PatrolLists& lists() { return lists_; }

  // PatrolListsLink
  void feedNewest() override;
  void applyFont(const views::PaneFont& font) override { lists_.applyFont(font); }
  void stopPatrol(bool alsoNew) override;
  bool anyVisible() const override { return lists_.anyVisible(); }
  void feed(bool append, int pane) override;
  void newSwitched(bool on, bool fromMenu) override;
  void saveVisibleWindows() override { lists_.saveVisibleWindows(); }

  // PatrolHost
  bool mainNewSwitch() const override;
  void setMainNewSwitch(bool on) override;
  views::Pane* alignedPane(int pane) override;
  bool autoPatrolSelected() const override;
  void manualAccess() override;
  void clearLog() override;
  void saveSettings() override;

  // Run after a step that changed the windows (the Qt side shows them again).
  std::function<void()> afterChange;

 private:
  void changed() {
    if (afterChange) afterChange();
  }
  MainModel& model_;
  patrol::PatrolLists lists_;
};

}  // namespace zeltaro::app
