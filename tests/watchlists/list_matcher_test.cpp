// SPDX-License-Identifier: GPL-3.0-or-later
// The compiled matcher against the word-by-word rule of listMatches: a table of the cases where
// a one-pass search can go wrong, then thousands of generated lists and records.
#include "watchlists/list_matcher.h"

#include <gtest/gtest.h>

#include <random>

#include "text/codec.h"
#include "text/sjis.h"
#include "watchlists/watch_list.h"

namespace zeltaro::watchlists {
namespace {

using text::sj;

struct Case {
  const char* name;
  std::string list, search;
  bool expected;
};

TEST(ListMatcher, AgreesWithTheWordByWordRule) {
  const Case cases[] = {
      {"plain AND of two words", "JA1 CW\r\n", "7,010 ja1abc cw", true},
      {"one word missing", "JA1 CW\r\n", "7,010 ja1abc ssb", false},
      {"second entry matches", "JD1\r\nJA3 SSB\r\n", "ja3xyz ssb", true},
      {"disabled entry keeps its star", "*JA1\r\n", "ja1abc", false},
      {"star in the text matches a starred word", "*JA1\r\n", "x *ja1", true},
      // "ソ" is 83 5C: its trail byte is a backslash and must not start a hit.
      {"backslash only as a trail byte", "\\\r\n", sj("ソ表"), false},
      {"backslash as a character", "\\\r\n", sj("ソ") + "\\", true},
      // "表" is 95 5C; a word "\x5C\x95" would straddle two characters.
      {"word across a character boundary", "\\" + sj("表").substr(0, 1) + "\r\n", sj("ソ表"),
       false},
      {"double-byte word", sj("表") + "\r\n", "a" + sj("ソ表"), true},
      {"half-width katakana", sj("ｱｲ") + "\r\n", sj("xｱｲｳ"), true},
      {"ideographic space is part of a word", sj("JA1　CW") + "\r\n", "ja1 cw", false},
      {"folding A-Z only", "ABC\r\n", "abc", true},
      // "ア" is 83 41: folding must not turn its trail byte 41 into 61.
      {"folding leaves trail bytes", sj("ア") + "\r\n", sj("ア"), true},
      {"folded trail byte is no letter",
       "\x83"
       "a\r\n",
       sj("ア"), false},
      {"overlapping words", "ABA BAB\r\n", "xabab", true},
      {"word is a prefix of another", "JA JA1A\r\n", "ja1a", true},
      {"same word twice", "CW CW\r\n", "cw", true},
      {"blank lines and runs of spaces", "\r\n   \r\nJA1   CW  \r\n", "cw ja1", true},
      {"empty search text", "JA1\r\n", "", false},
      {"empty list", "", "ja1", false},
      {"search text of blanks", "JA1\r\n", "   ", false},
  };
  for (const Case& c : cases) {
    platform::NullMessagePump pump;
    ListMatcher m;
    EXPECT_EQ(m.matches(c.list, c.search), c.expected) << c.name;
    EXPECT_EQ(listMatches(c.list, c.search, pump), c.expected) << c.name;
  }
}

TEST(ListMatcher, FollowsAChangedList) {
  ListMatcher m;
  EXPECT_TRUE(m.matches("JA1\r\n", "ja1abc"));
  EXPECT_FALSE(m.matches("JA2\r\n", "ja1abc"));
  EXPECT_TRUE(m.matches("JA2\r\nJA1\r\n", "ja1abc"));
}

// Up to maxPieces pieces drawn at random, one after the other.
std::string randomPieces(std::mt19937& rng, const std::vector<std::string>& pieces, int maxPieces) {
  std::string s;
  const int n = std::uniform_int_distribution<int>(0, maxPieces)(rng);
  for (int i = 0; i < n; ++i)
    s += pieces[std::uniform_int_distribution<std::size_t>(0, pieces.size() - 1)(rng)];
  return s;
}

// Random lists and records over a small alphabet rich in the bytes that matter: letters of both
// cases, blanks, lead bytes and trail bytes in 0x40-0x7E (0x5C among them).
TEST(ListMatcher, RandomListsAndRecordsAgreeWithTheWordByWordRule) {
  std::mt19937 rng(20261210);
  const std::vector<std::string> pieces = {"a",      "B",    "b",      "A",      "1",      "\\",
                                           " ",      " ",    sj("ソ"), sj("表"), sj("ア"), sj("ｱ"),
                                           sj("　"), "\x83", "@",      "*",      "\x95"};
  auto randomText = [&](int maxPieces) { return randomPieces(rng, pieces, maxPieces); };
  platform::NullMessagePump pump;
  int hits = 0;
  for (int list = 0; list < 200; ++list) {
    std::string text;
    const int entries = std::uniform_int_distribution<int>(0, 6)(rng);
    for (int e = 0; e < entries; ++e) text += randomText(4) + "\r\n";
    ListMatcher m;
    for (int record = 0; record < 20; ++record) {
      const std::string search = randomText(24);
      const bool expected = listMatches(text, search, pump);
      hits += expected;
      ASSERT_EQ(m.matches(text, search), expected)
          << "list [" << text << "] search [" << search << "]";
    }
  }
  EXPECT_GT(hits, 100);  // the generator does produce matches
}

// The three lists in one automaton: each list asked for answers as the rule does for it alone
// (entries of one list never answer for another, a word shared by two lists counts in both),
// a list not asked for answers false, and an edited list is followed unless the caller says
// nothing changed.
TEST(ThreeListMatcher, EachListAnswersAsAlone) {
  std::mt19937 rng(20261211);
  const std::vector<std::string> pieces = {"a",      "B",      "1",    "\\", " ",   " ",
                                           sj("ソ"), sj("表"), "\x83", "*",  "\x95"};
  auto randomText = [&](int maxPieces) { return randomPieces(rng, pieces, maxPieces); };
  platform::NullMessagePump pump;
  int hits = 0;
  ThreeListMatcher m;
  for (int round = 0; round < 300; ++round) {
    std::array<std::string, 3> texts;
    for (std::string& text : texts) {
      const int entries = std::uniform_int_distribution<int>(0, 4)(rng);
      for (int e = 0; e < entries; ++e) text += randomText(3) + "\r\n";
    }
    for (int record = 0; record < 12; ++record) {
      const std::string search = randomText(20);
      const std::string folded = text::foldAZ(search);
      const std::array<bool, 3> asked{record % 2 == 0, record % 3 != 1, record % 4 != 3};
      // The first search of a round must see the new texts; the later ones may trust them.
      const std::array<bool, 3> got = m.matchesFolded(texts, asked, text::trim(folded), record > 0);
      for (std::size_t l = 0; l < 3; ++l) {
        const bool expected = asked[l] && listMatches(texts[l], search, pump);
        hits += expected;
        ASSERT_EQ(got[l], expected)
            << "list " << l + 1 << " [" << texts[l] << "] search [" << search << "]";
      }
    }
  }
  EXPECT_GT(hits, 100);
}

}  // namespace
}  // namespace zeltaro::watchlists
