// SPDX-License-Identifier: GPL-3.0-or-later
#include "watchlists/watch_lists.h"

#include "watchlists/watch_list.h"

namespace zeltaro::watchlists {
namespace {

std::size_t at(int n) { return static_cast<std::size_t>(n - 1); }

}  // namespace

WatchLists::WatchLists() { Memo_List[2] = "8J\r\nJD1\r\n7,0 CW\r\n*JA1 SSB\r\n"; }

std::string& WatchLists::text(int list) { return Memo_List[at(list)]; }

const std::string& WatchLists::text(int list) const { return Memo_List[at(list)]; }

bool& WatchLists::enabledForUrl(int list, int url) { return chkListUrl[at(list)][at(url)]; }

bool WatchLists::enabledForUrl(int list, int url) const { return chkListUrl[at(list)][at(url)]; }

bool WatchLists::anyEnabledForUrl(int url) const {
  return enabledForUrl(1, url) || enabledForUrl(2, url) || enabledForUrl(3, url);
}

void WatchLists::refreshCounter(int list) { LabelList[at(list)] = counterText(text(list)); }

void WatchLists::normalize() {
  for (std::string& t : Memo_List) normalizeTabs(t);
}

bool WatchLists::matchesFolded(int list, std::string_view folded) {
  std::array<bool, 3> asked{};
  asked[at(list)] = true;
  return matchFolded(asked, folded, false)[at(list)];
}

bool WatchLists::matchesFoldedSameText(int list, std::string_view folded) {
  std::array<bool, 3> asked{};
  asked[at(list)] = true;
  return matchFolded(asked, folded, true)[at(list)];
}

std::array<bool, 3> WatchLists::matchFolded(const std::array<bool, 3>& asked,
                                            std::string_view folded, bool sameTexts) {
  return matcher_.matchesFolded(Memo_List, asked, folded, sameTexts);
}

}  // namespace zeltaro::watchlists
