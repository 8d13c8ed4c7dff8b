// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Watch lists compiled for matching: every word of every entry goes into one automaton, so a
// spot's search text is scanned once however many entries (and lists) there are. The rule is
// the one of listMatches: an entry matches when each of its words (A-Z folded, trimmed) occurs
// in the folded, trimmed search text at a character start (never on the trail byte of a
// double-byte character); a word is never empty, and an entry with a word that trims to
// nothing never matches. The automaton is rebuilt only when a list's text changes.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "text/multi_find.h"

namespace zeltaro::watchlists {

// Lists compiled together, numbered 0 ... count - 1.
class CompiledLists {
 public:
  void compile(const std::vector<std::string_view>& texts);
  // Looks for the words in a folded, trimmed search text, for listMatches() to ask after.
  void scan(std::string_view folded);
  // Whether the list finds an entry in the text of the last scan().
  bool listMatches(std::size_t list) const;

 private:
  // Entries as word numbers; an entry holding -1 can never match.
  std::vector<std::vector<int>> entries_;
  text::MultiFind words_;
  // Per list, the entries each word opens: only those can match when the word was found.
  std::vector<std::vector<std::vector<std::size_t>>> opens_;
  // Per scan: which words were found (stamped with the scan's number), in finding order.
  std::vector<std::uint32_t> foundIn_;
  std::vector<std::size_t> found_;
  std::uint32_t search_ = 0;
  bool scanned_ = false;  // the last scan had a text to look at
};

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

  std::string compiledFrom_;
  bool compiled_ = false;
  CompiledLists lists_;
};

// The main window's three lists in one automaton: a page's record is scanned once for all three.
class ThreeListMatcher {
 public:
  // For each list asked for, whether it finds an entry in a search text already A-Z folded and
  // trimmed (false for the others). sameTexts: the caller knows that nothing changed the lists'
  // texts since the last search, and they are not compared again.
  std::array<bool, 3> matchesFolded(const std::array<std::string, 3>& texts,
                                    const std::array<bool, 3>& asked, std::string_view folded,
                                    bool sameTexts);

 private:
  std::array<std::string, 3> compiledFrom_;
  bool compiled_ = false;
  CompiledLists lists_;
};

}  // namespace zeltaro::watchlists
