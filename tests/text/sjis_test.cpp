// SPDX-License-Identifier: GPL-3.0-or-later
#include "text/sjis.h"

#include <gtest/gtest.h>

#include <random>

#include "text/codec.h"

namespace zeltaro::text {
namespace {

struct FindCase {
  const char* name;
  std::string hay, needle;
  std::size_t from, expected;
};

// "ソ" is 83 5C and "表" is 95 5C: their trail byte is a backslash.
const std::string kSo = "\x83\x5C";
const std::string kHyo = "\x95\x5C";

TEST(SjisFind, Table) {
  const FindCase cases[] = {
      {"plain", "abcabc", "bc", 1, 2},
      {"from position", "abcabc", "bc", 3, 5},
      {"absent", "abc", "x", 1, 0},
      {"empty needle never found", "abc", "", 1, 0},
      {"empty haystack", "", "a", 1, 0},
      {"needle longer than text", "ab", "abc", 1, 0},
      {"backslash not inside so", kSo + "\\r", "\\", 1, 3},
      {"backslash r not found across trail byte", kSo + "r", "\\r", 1, 0},
      {"backslash r not found across hyo", "x" + kHyo + "r\\", "\\r", 1, 0},
      {"double-byte needle", "a" + kHyo + kSo, kSo, 1, 4},
      {"needle starting on a trail byte pattern", "\x82\xA0\xA0", "\xA0", 1, 3},
      {"half-width katakana are single bytes", "\xB1\xB2\xB3", "\xB2\xB3", 1, 2},
      {"lone lead byte at the end", "ab\x83", "\x83", 1, 3},
      {"lone lead byte does not swallow", "\x83", "a", 1, 0},
      {"start inside a character moves to the next one", kSo + "\\", "\\", 2, 3},
  };
  for (const auto& c : cases) EXPECT_EQ(text::find(c.hay, c.needle, c.from), c.expected) << c.name;
}

TEST(SjisReplaceAll, Table) {
  struct Case {
    const char* name;
    std::string s, from, to, expected;
  };
  const Case cases[] = {
      {"all occurrences", "a-b-c", "-", "+", "a+b+c"},
      {"non-overlapping left to right", "aaa", "aa", "b", "ba"},
      {"replacement is not searched again", "ab", "a", "aa", "aab"},
      {"empty from leaves text", "abc", "", "x", "abc"},
      {"trail byte backslash untouched", kSo + "\\r" + kHyo + "r", "\\r", "\r",
       kSo + "\r" + kHyo + "r"},
      {"double-byte replaced", kHyo + "a" + kHyo, kHyo, "X", "XaX"},
      {"lone lead byte kept", "a\x83", "a", "b", "b\x83"},
  };
  for (const auto& c : cases) EXPECT_EQ(replaceAll(c.s, c.from, c.to), c.expected) << c.name;
}

TEST(SjisFold, OnlyHalfWidthLetters) {
  // Full-width "Ａ" is 82 60; its bytes are not letters and must not change. 0x82 0x41 would
  // not be valid CP932 anyway, but a trail byte in A-Z range ("ア" is 83 41) must stay.
  EXPECT_EQ(foldAZ("AbZ" + sj("Ａア") + "@[`{"), "abz" + sj("Ａア") + "@[`{");
  EXPECT_EQ(upperAZ("azA" + sj("ａ")), "AZA" + sj("ａ"));
}

TEST(SjisTrim, BlanksAndControls) {
  EXPECT_EQ(trim(" \t\r\n ab c \x01"), "ab c");
  EXPECT_EQ(trim(""), "");
  EXPECT_EQ(trim("   "), "");
  EXPECT_EQ(trimLeft("  a "), "a ");
  EXPECT_EQ(trimRight("  a \n"), "  a");
  EXPECT_EQ(trimSpaces(" \ta\t "), "\ta\t");
  // An ideographic space is text, not a blank.
  EXPECT_EQ(trim(sj("　a　")), sj("　a　"));
}

// The search and replace walk the text character by character in their simplest form; the
// library's versions jump ahead with a byte search and must land on the same places.
std::size_t walkingFind(std::string_view hay, std::string_view needle, std::size_t from) {
  if (needle.empty() || from == 0) return 0;
  std::size_t i = 0;
  while (i < hay.size() && i + 1 < from) i += charLength(hay, i);
  for (; i < hay.size() && hay.size() - i >= needle.size(); i += charLength(hay, i))
    if (hay.compare(i, needle.size(), needle) == 0) return i + 1;
  return 0;
}

std::string walkingReplaceAll(std::string_view s, std::string_view from, std::string_view to) {
  if (from.empty()) return std::string(s);
  std::string out;
  std::size_t i = 0;
  while (i < s.size()) {
    if (s.size() - i >= from.size() && s.compare(i, from.size(), from) == 0) {
      out.append(to);
      i += from.size();
      continue;
    }
    const std::size_t n = charLength(s, i);
    out.append(s.substr(i, n));
    i += n;
  }
  return out;
}

TEST(SjisFind, RandomTextsAgreeWithTheCharacterWalk) {
  std::mt19937 rng(20261210);
  // Lead bytes, trail bytes in 0x40-0x7E and plain letters, so that byte hits on trail bytes
  // are common.
  const std::string bytes =
      "\x83\x95\x5c\x41"
      "ab\\ ";
  auto randomText = [&](int maxLength) {
    std::string t;
    const int n = std::uniform_int_distribution<int>(0, maxLength)(rng);
    for (int i = 0; i < n; ++i)
      t += bytes[std::uniform_int_distribution<std::size_t>(0, bytes.size() - 1)(rng)];
    return t;
  };
  for (int i = 0; i < 20000; ++i) {
    const std::string hay = randomText(16), needle = randomText(3), to = randomText(2);
    const std::size_t from = std::uniform_int_distribution<std::size_t>(0, 18)(rng);
    ASSERT_EQ(text::find(hay, needle, from), walkingFind(hay, needle, from))
        << "hay " << ::testing::PrintToString(hay) << " needle " << ::testing::PrintToString(needle)
        << " from " << from;
    const std::string replaced = walkingReplaceAll(hay, needle, to);
    ASSERT_EQ(replaceAll(hay, needle, to), replaced)
        << "hay " << ::testing::PrintToString(hay) << " needle "
        << ::testing::PrintToString(needle);
    for (const std::string& with : {to, std::string(needle.size(), 'x')}) {
      std::string inPlace = hay;
      replaceAllInPlace(inPlace, needle, with);
      ASSERT_EQ(inPlace, walkingReplaceAll(hay, needle, with))
          << "hay " << ::testing::PrintToString(hay) << " needle "
          << ::testing::PrintToString(needle) << " to " << ::testing::PrintToString(with);
    }
  }
}

TEST(SjisLines, SplitAndJoin) {
  using V = std::vector<std::string>;
  EXPECT_EQ(splitLines(""), V{});
  EXPECT_EQ(splitLines("a"), V{"a"});
  EXPECT_EQ(splitLines("a\r\n"), V{"a"});
  EXPECT_EQ(splitLines("a\r\n\r\nb"), (V{"a", "", "b"}));
  EXPECT_EQ(splitLines("a\nb\rc"), (V{"a", "b", "c"}));
  EXPECT_EQ(joinLines({"a", "", "b"}), "a\r\n\r\nb\r\n");
}

}  // namespace
}  // namespace zeltaro::text
