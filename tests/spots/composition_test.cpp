// SPDX-License-Identifier: GPL-3.0-or-later
#include "spots/composition.h"

#include <gtest/gtest.h>

#include <random>

#include "text/codec.h"

namespace zeltaro::spots {
namespace {

platform::NullMessagePump pump;

ExtractionSlots numbered(int upTo) {
  ExtractionSlots s{};
  for (int k = 1; k <= upTo; ++k) s[k] = "f" + std::to_string(k);
  return s;
}

TEST(Composition, DefaultBodyWithThirteenValues) {
  const Composition c = compose(kDefaultBody, numbered(13), pump);
  EXPECT_TRUE(c.searchable);
  EXPECT_EQ(c.display, "f1 f2\\r\\nf3 f4\\r\\nf5 f6\\r\\nf7 f8 f9 f10\\r\\nf11" + text::sj("＠") +
                           "f12#f13\\r\\n\\r\\n");
  EXPECT_EQ(c.search, "$#01 $#02   $#03 f4    f5  f6    f7  f8  $#09 f10    $#11" + text::sj("＠") +
                          "$#12#$#13");
}

TEST(Composition, Table) {
  struct Case {
    const char* name;
    std::string body;
    ExtractionSlots slots;
    std::string display, search;
    bool searchable;
  };
  const Case cases[] = {
      {"no searchable field", "$#01 $#02", numbered(2), "", "", false},
      {"highest searchable field has no trailing space", "$#01! $#02!", numbered(2), "f1 f2",
       "f1  f2", true},
      {"a single searchable field", "[$#03!]", numbered(3), "[f3]", "[f3 ]", true},
      {"three spaces become two", "$#01!   x", numbered(1), "f1  x", "f1    x", true},
      {"markers of both kinds become blanks in the search text", "\\n\\r$#01!\\r\\n\\r",
       numbered(1), "\\n\\rf1\\r\\n\\r", "f1", true},
      {"empty values", "$#01! $#02", ExtractionSlots{}, " ", "$#02", true},
  };
  for (const auto& c : cases) {
    for (const Composition& got :
         {compose(c.body, c.slots, pump), compose(compileBody(c.body), c.slots, pump)}) {
      EXPECT_EQ(got.searchable, c.searchable) << c.name;
      EXPECT_EQ(got.display, c.display) << c.name;
      EXPECT_EQ(got.search, c.search) << c.name;
    }
  }
}

// The Body cut at its tags once must give what replacing the tags one slot after the other
// gives, also for bodies and values built to trip it: stray "$", tags out of range, values that
// hold "$" or a tag's pieces, lone lead bytes before a tag, trail bytes that look like "$", and
// backslashes and letters that make line-break markers across a tag.
TEST(Composition, CompiledBodyAgreesWithTheReplacementsOneByOne) {
  std::mt19937 rng(20261210);
  const std::vector<std::string> bodyTokens = {
      "$#01", "$#02!",  "$#03", "$#13!", "$#20!", "$#20", "$#21", "$#00!",    "$",  "#",   "!", " ",
      "  ",   "\\r\\n", "\\n",  "x",     "0",     "5",    "\x81", "\x93\x8c", "\\", "\\r", "r"};
  const std::vector<std::string> valueBytes = {"a",    "$",        "#0",     "1",    "!", " ",
                                               "\x81", "\x95\x5c", "\\r\\n", "#02!", "n", "\\"};
  auto pick = [&](const std::vector<std::string>& from, int maxCount) {
    std::string t;
    const int n = std::uniform_int_distribution<int>(0, maxCount)(rng);
    for (int i = 0; i < n; ++i)
      t += from[std::uniform_int_distribution<std::size_t>(0, from.size() - 1)(rng)];
    return t;
  };
  int pieceByPiece = 0;
  for (int i = 0; i < 20000; ++i) {
    const std::string body = pick(bodyTokens, 12);
    ExtractionSlots slots{};
    // Mostly plain values, so that the piece-by-piece way is taken often.
    for (int k = 1; k <= kSlotCount; ++k)
      slots[k] = i % 4 ? "v" + std::to_string(k) : pick(valueBytes, 3);
    const CompiledBody compiled = compileBody(body);
    if (compiled.pieceByPiece) ++pieceByPiece;
    const Composition want = compose(body, slots, pump), got = compose(compiled, slots, pump);
    ASSERT_EQ(got.searchable, want.searchable) << ::testing::PrintToString(body);
    ASSERT_EQ(got.display, want.display) << ::testing::PrintToString(body);
    ASSERT_EQ(got.search, want.search) << ::testing::PrintToString(body);
    const Composition searched = composeSearch(compiled, slots, pump);
    ASSERT_EQ(searched.searchable, want.searchable) << ::testing::PrintToString(body);
    ASSERT_EQ(searched.search, want.search) << ::testing::PrintToString(body);
  }
  EXPECT_GT(pieceByPiece, 2000);  // the comparison exercised the piece-by-piece way
}

}  // namespace
}  // namespace zeltaro::spots
