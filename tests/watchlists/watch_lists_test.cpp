// SPDX-License-Identifier: GPL-3.0-or-later
#include "watchlists/watch_lists.h"

#include <gtest/gtest.h>

namespace zeltaro::watchlists {
namespace {

TEST(WatchLists, StartWithTheSampleEntriesInTheThirdListOnly) {
  WatchLists lists;
  EXPECT_EQ(lists.text(1), "");
  EXPECT_EQ(lists.text(2), "");
  EXPECT_EQ(lists.text(3), "8J\r\nJD1\r\n7,0 CW\r\n*JA1 SSB\r\n");
  for (int l = 1; l <= 3; ++l)
    for (int u = 1; u <= 3; ++u) EXPECT_TRUE(lists.enabledForUrl(l, u)) << l << " " << u;
}

TEST(WatchLists, EachCounterFollowsItsOwnList) {
  WatchLists lists;
  lists.text(2) = "JA1AAA\r\n*JA2BBB\r\nJA3\r\n";
  lists.refreshCounter(2);
  EXPECT_EQ(lists.LabelList[1], "   3(2/1)");
  EXPECT_EQ(lists.LabelList[0], "") << "list 1 was not refreshed";
  lists.refreshCounter(3);
  EXPECT_EQ(lists.LabelList[2], "   4(3/1)");
}

TEST(WatchLists, NormalizeTurnsTabsIntoSpacesInAllThreeLists) {
  WatchLists lists;
  lists.text(1) = "JA1\tCW";
  lists.text(3) = "\t7,0";
  lists.normalize();
  EXPECT_EQ(lists.text(1), "JA1 CW");
  EXPECT_EQ(lists.text(3), " 7,0");
}

TEST(WatchLists, AnyEnabledForUrlLooksAtThatUrlOfEveryList) {
  WatchLists lists;
  for (int l = 1; l <= 3; ++l) lists.enabledForUrl(l, 2) = false;
  EXPECT_FALSE(lists.anyEnabledForUrl(2));
  EXPECT_TRUE(lists.anyEnabledForUrl(1));
  lists.enabledForUrl(3, 2) = true;
  EXPECT_TRUE(lists.anyEnabledForUrl(2));
  EXPECT_TRUE(lists.chkListUrl[2][1]) << "the control behind list 3, URL 2";
}

// The search text comes folded to a-z; the entries are folded by the matcher.
TEST(WatchLists, MatchingFollowsAnEditedListAndKeepsTheListsApart) {
  WatchLists lists;
  lists.text(1) = "JA1AAA\r\n";
  lists.text(2) = "JA2BBB\r\n";
  EXPECT_TRUE(lists.matchesFolded(1, "ja1aaa 7,010 cw"));
  EXPECT_FALSE(lists.matchesFolded(2, "ja1aaa 7,010 cw"));
  lists.text(1) = "JA9ZZZ\r\n";  // the matcher must not keep the old entries
  EXPECT_FALSE(lists.matchesFolded(1, "ja1aaa 7,010 cw"));
  EXPECT_TRUE(lists.matchesFolded(1, "ja9zzz 14,020"));
}

// A page's records searched one after the other, with nothing run in between, need not compare
// the list's text again: the answers are those of full searches.
TEST(WatchLists, SearchesOfTheSameTextAnswerAsFullSearches) {
  WatchLists lists;
  lists.text(1) = "JA1AAA\r\nJA2 CW\r\n";
  const char* searches[] = {"ja1aaa 7,010 cw", "ja2xyz 7,020 cw", "ja2xyz 14,020 ssb", ""};
  EXPECT_TRUE(lists.matchesFolded(1, searches[0]));
  for (const char* s : searches)
    EXPECT_EQ(lists.matchesFoldedSameText(1, s), lists.matchesFolded(1, s)) << s;
  // Asked first, before any full search, it reads the list.
  WatchLists fresh;
  fresh.text(2) = "JA2 CW\r\n";
  EXPECT_TRUE(fresh.matchesFoldedSameText(2, "ja2xyz 7,020 cw"));
}

}  // namespace
}  // namespace zeltaro::watchlists
