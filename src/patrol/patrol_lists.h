// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The three transfer patrol list windows as GUI-free models: each window's controls as named
// state and its handlers (the walk tick, the re-set, the buttons, keys and popup menu), and what
// the three share (the feed from the log panes, FeedTime, the suspension of every walk while a
// watch-seconds list is dropped down). The Qt windows bind to a PatrolWindow each.

#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "patrol/line_transfer.h"
#include "patrol/patrol_menu.h"
#include "platform/clock.h"
#include "settings/station_settings.h"
#include "views/pane.h"

namespace zeltaro::patrol {

class PatrolLists;

// What the window system does for one window.
class PatrolWindowView {
 public:
  virtual ~PatrolWindowView() = default;
  // Shows the window and brings it to the foreground; it becomes the last active window.
  virtual void showAndRaise() = 0;
  virtual bool isForeground() const = 0;
  // The window's font (and with it the row height) changed: shown at once.
  virtual void showFont() {}
};

// The main window, as the patrol lists reach it.
class PatrolHost {
 public:
  virtual ~PatrolHost() = default;
  // The main window's "new" switch (CheckBox2).
  virtual bool mainNewSwitch() const = 0;
  virtual void setMainNewSwitch(bool on) = 0;
  // Memo_Log2 ... Memo_Log5 for pane 0 ... 3.
  virtual views::Pane* alignedPane(int pane) = 0;
  // Whether an automatic patrol interval is chosen (not "Off").
  virtual bool autoPatrolSelected() const = 0;
  // "手動アクセス": the next tick of the main window starts a patrol cycle.
  virtual void manualAccess() = 0;
  // The main window's "CLR" and "SAVE".
  virtual void clearLog() = 0;
  virtual void saveSettings() = 0;
};

struct PatrolRow {
  std::string text;  // CP932
  bool checked = false;
  friend bool operator==(const PatrolRow&, const PatrolRow&) = default;
};

// How a row's background is painted.
enum class RowColour { Window, Selection, Yellow, Red };

// The caption every window starts with, up to its number.
std::string patrolCaptionStem();

// Keys a patrol window handles.
enum class PatrolKey { Delete, Enter };

class PatrolWindow {
 public:
  PatrolWindow(PatrolLists& lists, int n);
  PatrolWindow(const PatrolWindow&) = delete;
  PatrolWindow& operator=(const PatrolWindow&) = delete;

  const int n;  // 1, 2, 3 in creation order

  // ---- Named state ----
  std::vector<PatrolRow> CheckListBox1;  // the entries with their check states
  int ItemIndex = -1;                    // the selected row, -1 for none
  std::string Folder;                    // HAMLOG folder the window serves
  int CurrentRow = 0;                    // the row the walk stands on, -1 for none
  int LastSentRow = -1;                  // the row the walk transferred last, -1 for none
  int ComboBox1 = 2;                     // watch seconds as item index: seconds = index + 1
  int IntervalIndex = 2;                 // the item last chosen by the operator (saved)
  bool CheckBox1 = false;                // "巡回": the patrol switch
  bool CheckBox2 = false;                // "new": mirror of the main window's switch
  std::array<bool, 3> listFilter{true, true, true};  // "1", "2", "3"
  bool &CheckBox3 = listFilter[0], &CheckBox4 = listFilter[1], &CheckBox5 = listFilter[2];
  bool CheckBox6 = false;  // "最前面": stay on top
  bool CheckBox7 = false;  // "自動": the re-set every 3000 ms
  bool Paused = false;     // the walk halts while the popup menu is used
  int ProgressBar1 = 0;
  int Max = 30;                // the progress bar's maximum: 10 per watch second
  bool Timer1Enabled = false;  // the walk tick, every 100 ms
  bool Timer2Enabled = false;  // the auto re-set, every 3000 ms
  bool Visible = false;
  std::string Caption;                                   // CP932
  int Left = 120, Top = 120, Width = 780, Height = 300;  // design place and size
  views::PaneFont font;                                  // the entry list's font
  int ItemHeight = 16;                                   // its row height
  PatrolMenuState menu;                                  // PopupMenu1 as last prepared
  int fedRows = 0;                                       // rows the running feed put in
  int notForegroundTicks = 0;

  int seconds() const { return ComboBox1 + 1; }
  int rowCount() const { return static_cast<int>(CheckListBox1.size()); }

  // ---- Life ----
  // Creation: the saved settings of window n, the design caption, the font of the panes.
  void createWithFont(const views::PaneFont& paneFont);  // FormCreate
  // Showing: the caption with the folder, the walk resumed, "new" as the main window has it.
  void showWindow();  // FormShow
  // Closed by the operator: saved, timers stopped, rows removed.
  void closeByOperator();  // FormClose
  void SavePatrolWindowState();
  void applyFont(const views::PaneFont& f);

  // ---- The walk ----
  void tick();                               // Timer1Timer, every 100 ms
  void autoReset() { ResetPatrolChecks(); }  // Timer2Timer, every 3000 ms
  void RestartWalkTiming();
  void ResetPatrolChecks();
  void TransferPatrolRow(std::string_view row);
  // The patrol switch set by the program: a change runs what the box's click runs.
  void setPatrol(bool on);
  // The mouse over the list, the panel or the title bar, the list losing the focus.
  void clearPaused() { Paused = false; }

  // ---- Rows ----
  RowColour rowColour(int row) const;
  // The first row at or after `from` up to `to` (inclusive) that is checked and whose flag is
  // enabled; -1 when none.
  int findEligible(int from, int to) const;

  // ---- Commands ----
  // Each names the design event it answers, with the control's caption.
  void stepToNextRow();                                 // Button5Click "▼"
  void stepToPreviousRow();                             // Button6Click "▲"
  void resetNow() { ResetPatrolChecks(); }              // Button1Click "再セット"
  void applyAutoReset() { Timer2Enabled = CheckBox7; }  // CheckBox7Click "自動"
  void uncheckAll();                                    // Button2Click "全解除"
  void deleteAllRows();                                 // Button4Click "全削除"
  void applyNewSwitch();         // CheckBox2Click: "new", switched by the operator
  void applyPatrolSwitch();      // CheckBox1Click: "巡回", switched by the operator
  void chooseWatchSeconds();     // ComboBox1Change: a watch-seconds choice made in the list itself
  void suspendWalkForList();     // ComboBox1DropDown
  void resumeWalkAfterList();    // ComboBox1CloseUp
  void stopAllPatrols();         // Button3Click "全巡回解除"
  void toggleRowCheck(int row);  // CheckListBox1ClickCheck: the operator toggled the row's box
  void transferOnDoubleClick();  // CheckListBox1DblClick
  void handleListKey(PatrolKey key, bool ctrl, bool alt);  // CheckListBox1KeyDown
  void checkAll(bool on);
  void deleteSelectedRow();
  void transferSelectedRow();
  void markAndSkip();
  void prepareMenu();  // PopupMenu1Popup
  void menuClick(std::string_view name);

 private:
  void conditionalTransfer();
  void select(int row) { ItemIndex = row; }
  PatrolLists& lists_;
};

class PatrolLists {
 public:
  // transfer and host may be null (transfers and main-window steps are then left out).
  PatrolLists(settings::StationSettings& settings, const platform::Clock& clock,
              LineTransfer* transfer, PatrolHost* host);

  PatrolWindow& window(int n) { return *windows_[std::size_t(n - 1)]; }
  const PatrolWindow& window(int n) const { return *windows_[std::size_t(n - 1)]; }
  void setView(int n, PatrolWindowView* view) { views_[std::size_t(n - 1)] = view; }
  void setTransfer(LineTransfer* transfer) { transfer_ = transfer; }

  settings::StationSettings& settings() { return settings_; }
  const settings::StationSettings& settings() const { return settings_; }
  PatrolHost* host() { return host_; }
  std::array<std::string, 3> folders() const;

  // ---- Shared state ----
  platform::LocalDateTime FeedTime{};
  bool walkSuspended = false;  // a watch-seconds list is dropped down
  bool feedingNewest = false;  // FeedPatrolLists runs for the "new" feed

  // ---- Feeding ----
  // The lines of pane (0 Memo_Log2 ... 3 Memo_Log5)'s selection into the windows, appended or
  // replacing what they hold.
  void FeedPatrolLists(bool append, int pane);
  // The N newest lines of Memo_Log2, when the main window's "new" switch is on.
  void FeedNewest();
  // The main window's popup items: the pane with the keyboard focus (-1 for none).
  void feedPatrolListsReplacing(int focusedPane);  // menu_ReplaceClick
  void feedPatrolListsAppending(int focusedPane);  // menu_AppendClick
  // The main window's "new" switch clicked by the operator (its new state given).
  void mainNewSwitched(bool on);  // CheckBox2Click of the main window
  // The main window's "new (件置換)" item, after it toggled the switch.
  void mainNewToggledFromMenu(bool on);  // newN1Click of the main window

  bool IsPatrolEligible(std::string_view row, int n) const;
  void setFeedTimeNow() { FeedTime = clock_.now(); }

  // ---- Across the windows ----
  void stopPatrol(bool alsoNew);
  bool anyVisible() const;
  void applyFont(const views::PaneFont& font);
  // Program end: each visible window stores its state.
  void saveVisibleWindows();
  // The "new" boxes of the windows other than `except` (null: all).
  void setNewBoxes(bool on, const PatrolWindow* except);
  void transfer(std::string_view line);
  // A transfer is under way: the walks wait meanwhile, as HAMLOG's window holds the foreground.
  bool transferring() const { return transfer_ && transfer_->transferring(); }
  void showAndRaise(PatrolWindow& w);
  bool isForeground(const PatrolWindow& w) const;

 private:
  settings::StationSettings& settings_;
  const platform::Clock& clock_;
  LineTransfer* transfer_;
  PatrolHost* host_;
  std::array<std::unique_ptr<PatrolWindow>, 3> windows_;
  std::array<PatrolWindowView*, 3> views_{};
};

}  // namespace zeltaro::patrol
