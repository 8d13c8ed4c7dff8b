#pragma once
// A multi-line pane of the main window as model state: its lines (the log panes hold the
// newest first), the first visible line and the selection, in bytes of the pane's text.

#include <string>
#include <vector>

namespace zeltaro::views {

struct Pane {
  std::vector<std::string> lines;
  int firstVisibleLine = 0;
  int selStart = 0;
  int selLength = 0;
  bool visible = true;
  void scrollToTop() { firstVisibleLine = 0; }
};

}  // namespace zeltaro::views
