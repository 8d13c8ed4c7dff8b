// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A multi-line pane of the main window as model state: its lines (the log panes hold the
// newest first), the first visible line and column, the selection in bytes of the pane's text
// (the lines joined by CR LF, as a text box holds them), its place and its font.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "views/geometry.h"

namespace zeltaro::views {

// A font as the log panes use it: the size in points and the platform's font height in
// pixels (negative: the character height without internal leading).
struct PaneFont {
  int size = 12;
  int height = -16;
  friend bool operator==(const PaneFont&, const PaneFont&) = default;
};

struct Pane {
  std::vector<std::string> lines;
  int firstVisibleLine = 0;
  int firstVisibleColumn = 0;
  int selStart = 0;
  int selLength = 0;
  bool visible = true;
  Rect bounds;
  PaneFont font;

  void scrollToTop() {
    firstVisibleLine = 0;
    firstVisibleColumn = 0;
  }
  // Empties the pane: no lines, no selection, scrolled home.
  void clear() {
    lines.clear();
    selStart = selLength = 0;
    scrollToTop();
  }
};

// The pane's whole text: every line followed by CR LF.
std::string paneText(const Pane& pane);
// The selected bytes (clamped to the text).
std::string selectedText(const Pane& pane);
void selectAll(Pane& pane);
// The line that holds the start of the selection (the caret), or nothing when it lies past
// the last line.
std::optional<std::size_t> caretLine(const Pane& pane);

}  // namespace zeltaro::views
