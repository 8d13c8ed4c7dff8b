// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The other parts of the program as the main window's model drives them: each a narrow
// interface that its own library implements (the console, the patrol list windows, the rig, the
// operator's log). The model holds a pointer to each; one left null is a part that is absent,
// and its steps do nothing.

#include <string_view>

namespace zeltaro::views {
struct PaneFont;
}
namespace zeltaro::settings {
struct RigDirectSettings;
}

namespace zeltaro::app {

// The console server, as the start-up sequence drives it.
class ConsoleLink {
 public:
  virtual ~ConsoleLink() = default;
  virtual void clearPendingInput() = 0;
  // Listens on the model's consolePort with its consolePassword.
  virtual void listen() = 0;
};

// The transfer patrol list windows.
class PatrolListsLink {
 public:
  virtual ~PatrolListsLink() = default;
  // The "new" feed, run after every rebuild of the panes.
  virtual void feedNewest() = 0;
  // The log font, for the lists that exist.
  virtual void applyFont(const views::PaneFont& font) = 0;
  // A double-click on a log pane: the patrol box of every window off, and with alsoNew their
  // "new" boxes too.
  virtual void stopPatrol(bool alsoNew) = 0;
  // Whether any of the windows is visible (the transfer sends other data words then, and
  // returns the focus differently).
  virtual bool anyVisible() const = 0;
  // The pane popup menu's replace (append false) or append item on pane 0 ... 3 (Memo_Log2 ...
  // Memo_Log5).
  virtual void feed(bool append, int pane) = 0;
  // The main window's "new" switch has been set to on by the operator: with its box, or with
  // the popup item (fromMenu).
  virtual void newSwitched(bool on, bool fromMenu) = 0;
  // The main window closes: each visible window stores its state in the settings.
  virtual void saveVisibleWindows() = 0;
};

// Carrying a log line into HAMLOG (its fields, the rig, the focus and the companion program).
class TransferLink {
 public:
  virtual ~TransferLink() = default;
  virtual void TransferLine(std::string_view line) = 0;
  // A transfer is under way (the window runs meanwhile).
  virtual bool transferring() const { return false; }
};

// The transceiver link of direct rig control.
class RigLink {
 public:
  virtual ~RigLink() = default;
  virtual void open() = 0;
  virtual void close() = 0;
  // The settings dialog closed; before holds the rig settings from when it opened. Closes and
  // reopens the port when its settings changed.
  virtual void settingsDialogClosed(const settings::RigDirectSettings& before) = 0;
};

// The spot being checked, as its role slots hold it (CP932).
struct SpotKeys {
  std::string_view call, freq, code, mode;
};

// First-QSO checks against the operator's log, and the Michi-no-eki reference data kept in
// the lists' HAMLOG folders.
class FirstQsoChecker {
 public:
  virtual ~FirstQsoChecker() = default;
  // Whether spot is a first QSO under condition set 1, 2 or 3 (A, B, C).
  virtual bool isFirstQso(int set, const SpotKeys& spot) = 0;
  // A page's checks begin and end: between the two the log may be looked at once and kept at
  // hand instead of at every check.
  virtual void pageBegins() {}
  virtual void pageEnds() {}
  // Reads the reference data again where a folder changed (start-up, reload).
  virtual void reloadMichi() {}
  // Lets it go (exit).
  virtual void releaseMichi() {}
};

}  // namespace zeltaro::app
