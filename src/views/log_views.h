// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The five log panes of the main window: Memo_Log holds the log as composed, Memo_Log2 every
// line aligned, Memo_Log3 ... Memo_Log5 the aligned lines of watch lists 1 ... 3. Which pane
// shows depends on the display mode and the filter buttons.

#include <functional>
#include <string>
#include <string_view>

#include "views/pane.h"

namespace zeltaro::views {

// The filter buttons RadioButton1 ... RadioButton5, numbered as the Log123 setting counts.
enum class LogFilter { All = 0, List1 = 1, List2 = 2, List3 = 3, Stacked = 4 };

// Log123 as stored; any other number acts as "All".
LogFilter filterFromLog123(int log123);

struct LogPanes {
  Pane& Memo_Log;
  Pane& Memo_Log2;
  Pane& Memo_Log3;
  Pane& Memo_Log4;
  Pane& Memo_Log5;
};

// Rebuilds Memo_Log2 ... Memo_Log5 from Memo_Log with `columns` aligned columns, keeping each
// pane's selection on the text it covered, then runs feedNewest (may be empty). Does nothing
// at all while the log still is the welcome text.
void refreshViews(LogPanes panes, int columns, std::string_view welcomeText,
                  const std::function<void()>& feedNewest);

// Pane visibility for the display mode and filter, then every pane scrolled home.
void ApplyDisplayMode(LogPanes panes, bool aligned, LogFilter filter);

// Visibility and the places of the three list panes: stacked in thirds of Memo_Log2 for
// "123" in the aligned mode, else lying on Memo_Log2.
void LayOutLogPanes(LogPanes panes, bool aligned, LogFilter filter);

// Every pane emptied, as the log's "CLR" does.
void clearPanes(LogPanes panes);

// The pane that the popup menu's copy and select-all act on: the first visible of Memo_Log2
// ... Memo_Log5; none in display mode 1.
Pane* menuPane(LogPanes panes);

// The shared popup menu of the panes, as prepared each time it opens.
struct LogMenu {  // PopupMenu1
  bool replaceEnabled = false;
  bool appendEnabled = false;
  bool newItemEnabled = false;
  bool newItemChecked = false;
  std::string newItemCaption;  // CP932
};

// PopupMenu1Popup: the patrol items need patrol lists to feed and an aligned pane to feed from.
LogMenu prepareLogMenu(const LogPanes& panes, bool patrolListsExist, int newCount,
                       bool newBoxChecked);

}  // namespace zeltaro::views
