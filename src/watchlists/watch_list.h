// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The three watch lists: one search entry per line, words separated by half-width spaces, all
// words must occur in a spot's search text (A-Z folded).

#include <string>
#include <string_view>
#include <vector>

#include "platform/message_pump.h"

namespace zeltaro::watchlists {

// True when some entry of the list (the memo's text) finds all its words in searchText.
bool listMatches(std::string_view listText, std::string_view searchText,
                 platform::MessagePump& pump);

// The counter label: "%4d(%d/%d)" with lines, lines not starting with "*", lines starting
// with "*".
std::string counterText(std::string_view listText);

// Tabs become spaces; returns false (and leaves the text alone) when there was none. The byte
// positions do not move, so a view keeps its caret, selection and scroll position.
bool normalizeTabs(std::string& listText);

}  // namespace zeltaro::watchlists
