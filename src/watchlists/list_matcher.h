// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A watch list compiled for matching: every word of every entry goes into one automaton, so a
// spot's search text is scanned once however many entries the list has. The rule is the one of
// listMatches: an entry matches when each of its words (A-Z folded, trimmed) occurs in the
// folded, trimmed search text at a character start (never on the trail byte of a double-byte
// character); a word is never empty, and an entry with a word that trims to nothing never
// matches. The automaton is rebuilt only when the list's text changes.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "text/multi_find.h"

namespace zeltaro::watchlists {

class ListMatcher {
 public:
  // True when some entry of listText finds all its words in searchText.
  bool matches(std::string_view listText, std::string_view searchText);
  // The same for a search text already A-Z folded and trimmed (fold once, match many lists).
  bool matchesFolded(std::string_view listText, std::string_view folded);
  // The same for the text of the last search: the caller knows that nothing changed it since,
  // and it is not compared again (a page's records searched one after the other).
  bool matchesFoldedSameText(std::string_view listText, std::string_view folded);

 private:
  void compile(std::string_view listText);
  bool search(std::string_view folded);

  std::string compiledFrom_;
  bool compiled_ = false;
  // Entries as word numbers; an entry holding -1 can never match.
  std::vector<std::vector<int>> entries_;
  text::MultiFind words_;
  // The entries each word opens: only those can match when the word was found.
  std::vector<std::vector<std::size_t>> opens_;
  // Per search: which words were found (stamped with the search's number), in finding order.
  std::vector<std::uint32_t> foundIn_;
  std::vector<std::size_t> found_;
  std::uint32_t search_ = 0;
};

}  // namespace zeltaro::watchlists
