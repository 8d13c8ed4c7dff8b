#include "spots/new_lines.h"

#include <gtest/gtest.h>

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
      {"\x83\x5c", "\x83\x5c"},              // ソ ends in a trail byte 0x5C
      {"\x83\x5c\\", "\x83\x5c\\ "},  // ソ and a backslash
      {"\x83\\", "\x83\\"},               // a lead byte with its trail byte 0x5C
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

}  // namespace
}  // namespace zeltaro::spots
