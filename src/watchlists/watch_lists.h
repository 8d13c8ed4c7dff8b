// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main window's three watch lists: their texts, their entry counters and which page each
// list is searched on. Lists and pages are numbered 1 ... 3; every text is CP932 bytes.

#include <array>
#include <string>
#include <string_view>

#include "watchlists/list_matcher.h"

namespace zeltaro::watchlists {

class WatchLists {
 public:
  // The third list starts with samples of the entry syntax: a prefix, a band and mode pair,
  // and a disabled entry.
  WatchLists();

  std::string& text(int list);
  const std::string& text(int list) const;
  // Whether list is searched on the pages of URL url.
  bool& enabledForUrl(int list, int url);
  bool enabledForUrl(int list, int url) const;
  // Whether some list is searched on the pages of url.
  bool anyEnabledForUrl(int url) const;

  // The list's text changed: its counter caption follows.
  void refreshCounter(int list);
  // Leaving a list: tabs in the three texts become spaces.
  void normalize();
  // Whether list finds an entry in a search text already A-Z folded and trimmed.
  bool matchesFolded(int list, std::string_view folded);
  // The same, when nothing can have changed the list's text since its last search: the text
  // is not compared with the one the matcher was made from.
  bool matchesFoldedSameText(int list, std::string_view folded);
  // For each list asked for (index list - 1), whether it finds an entry in a folded, trimmed
  // search text: the text is scanned once for the three. sameTexts as in matchesFoldedSameText.
  std::array<bool, 3> matchFolded(const std::array<bool, 3>& asked, std::string_view folded,
                                  bool sameTexts);

  // The controls, index list - 1.
  std::array<std::string, 3> Memo_List;
  std::array<std::string, 3> LabelList;  // the counter captions
  // chkListUrl[l - 1][u - 1]: list l is searched on pages of URL u.
  std::array<std::array<bool, 3>, 3> chkListUrl{
      {{true, true, true}, {true, true, true}, {true, true, true}}};

 private:
  ThreeListMatcher matcher_;  // compiled from the lists when a text changes
};

}  // namespace zeltaro::watchlists
