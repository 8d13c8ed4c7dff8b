// SPDX-License-Identifier: GPL-3.0-or-later
#include "watchlists/watch_list.h"

#include <gtest/gtest.h>

#include "text/codec.h"

namespace zeltaro::watchlists {
namespace {

using text::sj;
platform::NullMessagePump pump;

TEST(WatchListSearch, Table) {
  struct Case {
    const char* name;
    std::string list, text;
    bool matches;
  };
  const Case cases[] = {
      {"all words as substrings", "ab CW", "xabz 7010 CW", true},
      {"folds half-width letters both ways", "ab CW", "XABZ cw", true},
      {"one word missing", "ab CW", "XABZ SSB", false},
      {"full-width letters compare exactly", sj("ＡＢ"), "ab", false},
      {"full-width letters match themselves", sj("ＡＢ"), sj("xＡＢ"), true},
      {"extra blanks behave as single ones", "   ab    cw   ", "ab cw", true},
      {"disabled entry keeps its star", "*ab", "ab", false},
      {"a star in the text matches the disabled entry", "*ab", "x*ab", true},
      {"second line matches", "zz\r\nab", "ab", true},
      {"empty lines are no entries", "\r\n\r\n", "ab", false},
      {"empty search text never matches", "ab", "", false},
      {"empty list never matches", "", "ab", false},
      {"ideographic space is part of the word", sj("ab　cd"), "ab cd", false},
      // "ア" is 83 41: its trail byte must neither fold nor match "a".
      {"trail byte is no letter", "a", sj("ア"), false},
      {"katakana entry does not match a different kana", sj("ア"), sj("ャ"), false},
      {"search text is trimmed", "ab", "  ab  ", true},
  };
  for (const auto& c : cases) EXPECT_EQ(listMatches(c.list, c.text, pump), c.matches) << c.name;
}

TEST(WatchListCounter, Format) {
  EXPECT_EQ(counterText("ab\r\n\r\n*cd"), "   3(2/1)");
  EXPECT_EQ(counterText("a\r\nb\r\nc\r\n*d\r\ne\r\n"), "   5(4/1)");
  EXPECT_EQ(counterText(""), "   0(0/0)");
  std::string many;
  for (int i = 0; i < 12345; ++i) many += "*x\r\n";
  EXPECT_EQ(counterText(many), "12345(0/12345)");
}

TEST(WatchListNormalize, TabsBecomeSpacesInPlace) {
  std::string t = "ab\tcd\r\n\t";
  EXPECT_TRUE(normalizeTabs(t));
  EXPECT_EQ(t, "ab cd\r\n ");
  std::string none = "ab cd";
  EXPECT_FALSE(normalizeTabs(none));
  EXPECT_EQ(none, "ab cd");
}

}  // namespace
}  // namespace zeltaro::watchlists
