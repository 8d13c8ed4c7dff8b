// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A first set of separator words and an extraction template for a page, worked out from one
// call sign that the operator saw on it (and, if given, its frequency). The proposal is made for
// the page processing as it is: the page is cut by cutRecords() and each template line is
// applied by fillSlots(), so every prefix and suffix is chosen such that its first occurrence in
// each record sits right at the value.

#include <string>
#include <string_view>
#include <vector>

namespace zeltaro::spots {

struct GuessExample {
  std::string call;       // one call sign seen on the page, as the page writes it
  std::string frequency;  // optional: its frequency as the page writes it ("" = not given)
};

struct TemplateGuess {
  bool found = false;
  std::string sepStart, sepEnd;            // separator words, in the page's bytes
  std::vector<std::string> templateLines;  // the extraction template, one line per value
  std::vector<std::string> notes;  // why nothing was found / what was recognised (UTF-8)
  // How the proposal does on the page it came from: the records it cuts, and of them those
  // whose call-sign slot ($#04) holds a call sign.
  int records = 0;
  int recordsWithCall = 0;
};

// page: the fetched bytes as they are (entities not decoded; Shift-JIS, ASCII or UTF-8).
// Templates put the call into $#04, the frequency into $#05 and the other fields it recognises
// where the built-in Body shows them: date $#02, time $#03, mode $#06, area code $#07,
// location $#08, distance $#09, comment $#10, spotter $#11.
TemplateGuess guessTemplate(std::string_view page, const GuessExample& example);

}  // namespace zeltaro::spots
