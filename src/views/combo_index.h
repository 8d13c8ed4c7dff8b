// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Item index controls (combo boxes) as the settings file feeds them: an index outside the
// items selects no item, -1, which is also what is saved back.

namespace zeltaro::views {

// ComboBox1, the aligned column count: items "2" ... "30".
inline constexpr int kColumnCountItems = 29;

constexpr int comboItemIndex(int index, int items) {
  return index >= 0 && index < items ? index : -1;
}

}  // namespace zeltaro::views
