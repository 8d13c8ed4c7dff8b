// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The log font choice (ComboBox2): fifteen items, each a point size and the platform's font
// height in pixels, as the item's text reads.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "views/pane.h"

namespace zeltaro::views {

// "9    -12" ... "72   -96", in order.
const std::vector<std::string>& fontItems();

// The size from the item's characters 1-2 and the height from its characters 6-8, each read
// as a decimal number (leading blanks skipped, anything after the digits ignored).
PaneFont parseFontItem(std::string_view item);

// The font of item `index`; none when no item is chosen (an index outside the items).
std::optional<PaneFont> fontOfItem(int index);

// The row height of a patrol list in that font.
int rowHeight(const PaneFont& font);

}  // namespace zeltaro::views
