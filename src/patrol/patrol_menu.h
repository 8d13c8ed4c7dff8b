// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The popup menu of a patrol list window (PopupMenu1): its items in menu order with their
// submenus, and the state each item shows once the menu has been prepared.

#include <map>
#include <string>
#include <vector>

namespace zeltaro::patrol {

struct PatrolMenuItem {
  std::string name;     // empty for a separator
  std::string caption;  // UTF-8 as designed; prepared captions replace some (CP932 below)
  std::string parent;   // the submenu item it belongs to; empty for the menu itself
  bool submenu = false;
  int number = 0;  // the number its caption reads (seconds, count, minutes); 0 for none
};

// Every item, in menu order; a submenu's items follow it, each with that submenu as parent.
const std::vector<PatrolMenuItem>& patrolMenuItems();

// The number a caption reads: leading blanks skipped, decimal digits up to the first other
// character; 0 when there are none.
int captionNumber(std::string_view caption);

struct MenuItemState {
  std::string caption;  // CP932
  bool enabled = true;
  bool checked = false;
};

// The prepared menu, by item name.
using PatrolMenuState = std::map<std::string, MenuItemState>;

}  // namespace zeltaro::patrol
