// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main window's log: the five panes (Memo_Log and its four views), the display mode, the
// filter buttons, the log font and the window layout that places them. The rules themselves
// live in views/; this part holds their state and runs them in the window's order.

#include <array>
#include <cstdint>
#include <string>

#include "app/main_services.h"
#include "views/log_views.h"
#include "views/main_layout.h"
#include "views/pane.h"

namespace zeltaro::app {

constexpr std::size_t kLogCap = 200;

class LogViews {
 public:
  // services is the model's: the patrol lists and the clipboard may be attached later.
  explicit LogViews(const MainServices& services) : services_(services) {}

  // Rebuilds Memo_Log2 ... Memo_Log5 from Memo_Log, then the "new" feed.
  void refreshViews();  // RefreshLogViews
  // The views rebuilt after new lines, every pane scrolled to its top.
  void refreshPanes();
  // Memo_Log keeps its newest kLogCap lines.
  void capLog();
  void scrollAllToTop();
  // "CLR": the five panes emptied.
  void clearPanes();

  void ApplyDisplayMode();
  void LayOutLogPanes();
  // A filter button clicked: checked, remembered in Log123, the panes laid out.
  void filterButtonClick(views::LogFilter filter);
  void checkFilterButton(views::LogFilter filter);
  void radioDisp1Click();
  void radioDisp2Click();
  // Applies the font of item ComboBox2; an index outside the items selects none (-1) and
  // leaves the fonts as they are.
  void applyLogFont();  // ComboBox2Change
  // "Config" has been switched to CheckBox1.
  void applyConfigSwitch();  // CheckBox1Click
  // The window's Width and Height have changed; the panes are laid out too once layOutPanes.
  void fitToWindowSize(bool layOutPanes);  // FormResize
  void layOutLogArea();                    // Panel1Resize
  void layOutWatchListArea();              // Panel3Resize
  void layOutSettingsArea();               // Panel4Resize
  // The settings just read: the "Config" state and the window size, as their controls' events
  // would apply them.
  void applyWindowGeometry(bool layOutPanes);

  void copySelection();   // menu_CopyClick
  void selectWholeLog();  // menu_AllClick
  // Ctrl+A and Ctrl+C in a pane.
  void paneKeyDown(views::Pane& pane, char key, bool ctrl);  // Memo_LogKeyDown
  // newStations: how many lines the patrol lists take from the top (NEW_STNS).
  void prepareLogMenu(int newStations);  // PopupMenu1Popup
  // The popup's patrol items, with the pane that has the keyboard focus (0 Memo_Log2 ... 3
  // Memo_Log5, -1 for none): they act only from an aligned pane.
  void feedPatrolListsReplacing(int focusedPane);  // menu_ReplaceClick
  void feedPatrolListsAppending(int focusedPane);  // menu_AppendClick
  // The operator switched "new" (CheckBox2 holds the new state).
  void applyNewSwitch();  // CheckBox2Click
  // "new (件置換)": toggles "new"; on, it reaches the patrol windows and feeds them.
  void toggleNewSwitch();  // newN1Click

  views::LogPanes logPanes();
  // The checked filter button.
  views::LogFilter checkedFilter() const;
  // Aligned column count N; an item index outside "2" ... "30" acts as no item (N = 1).
  int columnCount() const;

  // ---- window ----
  int Left = 75, Top = 64, Height = 631, Width = 852;  // main window position and size
  bool CheckBox1 = true;                               // "Config": the settings panels are shown
  views::MainLayout layout;  // panels and memos placed by the resize rules

  // ---- log display ----
  bool CheckBox2 = false;  // "new": newest lines are fed into the patrol lists
  int Log123 = 0;          // the remembered log filter, 0 "All" ... 4 "123"
  bool RadioButton1 = true, RadioButton2 = false, RadioButton3 = false, RadioButton4 = false,
       RadioButton5 = false;  // the filter buttons' checked state
  // Background colours of list n and its pane: 0x00BBGGRR, or 0x80000000 + a system colour
  // number (5, the window background, by default).
  std::array<std::int32_t, 3> Color{-2147483643, -2147483643, -2147483643};
  int ComboBox1 = 7;                           // item index: aligned column count N = index + 2
  bool radioDisp1 = false, radioDisp2 = true;  // display mode 1 (as composed) or 2 (aligned)
  int ComboBox2 = 3;                           // log font item index, -1 for none
  views::LogMenu logMenu;         // PopupMenu1: the panes' shared popup menu, as last prepared
  bool patrolListsReady = false;  // set once patrol list windows exist to be fed

  // ---- log ----
  views::Pane Memo_Log, Memo_Log2, Memo_Log3, Memo_Log4, Memo_Log5;
  std::string WelcomeText;
  std::string SavedLog;  // the log as read from the settings file, lines joined by CR LF

 private:
  const MainServices& services_;
};

}  // namespace zeltaro::app
