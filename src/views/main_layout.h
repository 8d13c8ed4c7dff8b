// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main window's areas and the rules that size them. Coordinates are client pixels of the
// window (of the panel for the controls inside one); the window's own Width and Height are
// its outer size, a caption bar and 4-pixel borders more than its client area.
//
//   Panel1  log area across the top: Panel5 (filter buttons, lamps, view choices) at its
//           left, the five log panes filling the rest
//   Panel2  page addresses, patrol interval and buttons, below the log area
//   Panel4  mail, sound and template settings, bottom left
//   Panel3  the three watch lists, bottom right, to the window's right edge
//   Panel6  never shown; its height is the log area's height while "Config" is on

#include "views/geometry.h"
#include "views/log_views.h"

namespace zeltaro::views {

struct MainLayout {
  int captionHeight = 23;  // the platform's title-bar height
  Rect Panel1{0, 0, 844, 112};
  Rect Panel2{0, 112, 844, 104};
  Rect Panel3{424, 216, 420, 382};
  Rect Panel4{0, 216, 420, 382};
  Rect Panel5{0, 0, 196, 112};
  Rect Panel6{0, 0, 0, 112};
  bool Panel2Visible = true, Panel3Visible = true, Panel4Visible = true;
  Rect Memo_List1{3, 22, 414, 90};
  Rect Memo_List2{3, 138, 414, 90};
  Rect Memo_List3{3, 254, 414, 122};
  Rect Memo_pcre{3, 196, 414, 180};
};

// Where Memo_Log sits in the log area as designed; resizing keeps its left and top.
inline constexpr Rect kMemoLogDesign{200, 4, 638, 102};

// The window's outer size changed: the panels follow it.
void fitToWindowSize(MainLayout& layout, int windowWidth, int windowHeight,
                     bool config);  // FormResize
// The log area's size changed: Memo_Log fills it, the other panes lie on Memo_Log.
void layOutLogArea(const MainLayout& layout, LogPanes panes);  // Panel1Resize
// The watch-list area's size changed.
void layOutWatchListArea(MainLayout& layout);  // Panel3Resize
// The settings area's size changed.
void layOutSettingsArea(MainLayout& layout);  // Panel4Resize
// "Config" switched: the settings panels shown or hidden, the log area sized to suit.
void showConfig(MainLayout& layout, bool config, int windowHeight);

}  // namespace zeltaro::views
