// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The mail status window's model (the design's TForm3): the pane Memo1 with the log of the last
// mail.

#include <string>
#include <string_view>
#include <vector>

namespace zeltaro::alerts {

class MailStatusModel {
 public:
  // The window caption, CP932.
  static std::string caption();

  // Cleared at the start of every mail.
  void clear() { Memo1.clear(); }
  // A line as it is; a text with line breaks fills one pane line per line.
  void addLine(std::string_view text);
  // "--  " + message + "  --".
  void addStatus(std::string_view message);

  // The double click on the main window's "Stat" label shows the window only while both
  // Shift and Ctrl are held down.
  void showOnShiftCtrlDoubleClick(bool shiftDown, bool ctrlDown) {  // Label17DblClick
    if (shiftDown && ctrlDown) Visible = true;
  }

  std::vector<std::string> Memo1;
  bool Visible = false;  // created hidden
};

}  // namespace zeltaro::alerts
