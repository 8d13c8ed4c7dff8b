// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A control's position and size in pixels, relative to its parent, as the window lays it out.

namespace zeltaro::views {

struct Rect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  friend bool operator==(const Rect&, const Rect&) = default;
};

}  // namespace zeltaro::views
