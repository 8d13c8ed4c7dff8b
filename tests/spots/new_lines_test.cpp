// SPDX-License-Identifier: GPL-3.0-or-later
#include "spots/new_lines.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace zeltaro::spots {
namespace {

using Lines = std::vector<std::string>;

TEST(LogSafe, KeepsOnlyWhatTheSettingsFileCanCarryInOneLine) {
  struct Row {
    std::string in, out;
  };
  const Row rows[] = {
      {"JA1ABC 7,010 CW", "JA1ABC 7,010 CW"},
      {std::string("tn\0x", 4), "tnx"},
      {std::string("\0\0", 2), ""},
      {"a\r\nb", "a  b"},
      {"a\rb\nc", "a b c"},
      {"\\r\\n stays text", "\\r\\n stays text"},
      {"\x83\x5c\x95\x5c", "\x83\x5c\x95\x5c"},  // ソ表: trail bytes are not touched
      {"\t\x1b\x7f", "\t\x1b\x7f"},
      {"ends in \\", "ends in \\ "},
      {"a\\\r", "a\\ "},
      {"\\\\", "\\\\ "},
      {"\x83\x5c", "\x83\x5c"},       // ソ ends in a trail byte 0x5C
      {"\x83\x5c\\", "\x83\x5c\\ "},  // ソ and a backslash
      {"\x83\\", "\x83\\"},           // a lead byte with its trail byte 0x5C
  };
  for (const Row& r : rows) EXPECT_EQ(logSafe(r.in), r.out) << r.in;
}

TEST(NewLines, ALineIsNewOnceAgainstTheLogAndThePage) {
  Lines log = {"1___old one", "_2__old two", "abc", ""};
  NewLines fresh(log);
  EXPECT_TRUE(fresh.isOld("old one"));
  EXPECT_TRUE(fresh.isOld("old two"));
  EXPECT_FALSE(fresh.isOld(""));  // lines shorter than the mark carry no text
  EXPECT_FALSE(fresh.isOld("abc"));
  EXPECT_FALSE(fresh.isOld("new"));
  fresh.add("1___", "new");
  EXPECT_TRUE(fresh.isOld("new"));
  fresh.add("__3_", "newer");
  EXPECT_EQ(fresh.size(), 2u);
  fresh.moveInFrontOf(log);
  EXPECT_EQ(log, (Lines{"1___new", "__3_newer", "1___old one", "_2__old two", "abc", ""}));
  EXPECT_TRUE(fresh.empty());
  EXPECT_TRUE(fresh.isOld("newer"));  // still known after the move
  fresh.moveInFrontOf(log);           // nothing more to add
  EXPECT_EQ(log.size(), 6u);
}

TEST(NewLines, ALargePageKeepsItsOrder) {
  Lines log;
  for (int i = 0; i < 200; i += 2) log.push_back("1___r" + std::to_string(i));
  NewLines fresh(log);
  Lines expected;
  for (int round = 0; round < 2; ++round) {  // every record twice
    for (int i = 0; i < 3000; ++i) {
      const std::string d = "r" + std::to_string(i);
      if (fresh.isOld(d)) continue;
      fresh.add("1___", d);
      expected.push_back("1___" + d);
    }
  }
  EXPECT_EQ(expected.size(), 2900u);
  Lines all = expected;
  all.insert(all.end(), log.begin(), log.end());
  fresh.moveInFrontOf(log);
  EXPECT_EQ(log, all);
}

// Against the line-by-line rule: a display text is old when some line of the log, the lines
// this page has put in front included, carries it after its four-character mark.
TEST(NewLines, RandomPagesAgreeWithTheLineByLineRule) {
  std::mt19937 rng(20261210);
  const std::vector<std::string> texts = {"", "a", "ab", "a b", "\x83\x5c", "JA1ABC 7,010"};
  // The log may hold short lines; a page adds four-character marks only.
  const std::vector<std::string> marks = {"1___", "_2__", "__3_", "12__", "1", "___"};
  const std::vector<std::string> pageMarks = {"1___", "_2__", "__3_", "12__"};
  const auto pick = [&](const std::vector<std::string>& from) {
    return from[std::uniform_int_distribution<std::size_t>(0, from.size() - 1)(rng)];
  };
  for (int round = 0; round < 3000; ++round) {
    Lines log;
    const int logLines = std::uniform_int_distribution<int>(0, 12)(rng);
    for (int i = 0; i < logLines; ++i) log.push_back(pick(marks) + pick(texts));

    Lines byLines = log;
    std::size_t added = 0;
    NewLines fresh(log);
    const int records = std::uniform_int_distribution<int>(0, 12)(rng);
    for (int r = 0; r < records; ++r) {
      const std::string mark = pick(pageMarks);
      const std::string display = pick(texts) + (r % 3 == 0 ? "" : pick(texts));
      bool old = false;
      for (const std::string& line : byLines)
        if (line.size() >= 4 && std::string_view(line).substr(4) == display) old = true;
      ASSERT_EQ(fresh.isOld(display), old) << "round " << round << " record " << r;
      if (old) continue;
      byLines.insert(byLines.begin() + static_cast<std::ptrdiff_t>(added++), mark + display);
      fresh.add(mark, display);
    }
    fresh.moveInFrontOf(log);
    ASSERT_EQ(log, byLines) << "round " << round;
  }
}

}  // namespace
}  // namespace zeltaro::spots
