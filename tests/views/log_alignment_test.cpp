// SPDX-License-Identifier: GPL-3.0-or-later
// Column alignment of the log: byte-counted widths, the aligned column count, markers.
#include "views/log_alignment.h"

#include <gtest/gtest.h>

#include "text/codec.h"

namespace zeltaro::views {
namespace {

using Lines = std::vector<std::string>;
using text::sj;

TEST(AlignLog, DoubleByteWordsArePaddedByTheirBytes) {
  // One column holds a word of three double-byte characters (6 bytes) and one of two letters.
  const Lines log = {"1___A " + sj("東京都") + " end", "_2__B ab end"};
  const Lines expected = {"1___A " + sj("東京都") + " end ", "_2__B ab     end "};
  EXPECT_EQ(alignLog(log, 9), expected);
}

TEST(AlignLog, OnlyTheFirstNMinusOneCellsArePadded) {
  struct Case {
    const char* name;
    int columns;
    Lines expected;
  };
  const Lines log = {"1___AB x y", "1___A xx y"};
  const Case cases[] = {
      {"N=2 pads the first cell alone", 2, {"1___AB x y ", "1___A  xx y "}},
      {"N=3 pads two cells", 3, {"1___AB x  y ", "1___A  xx y "}},
      {"N=1 pads nothing", 1, {"1___AB x y ", "1___A xx y "}},
  };
  for (const Case& c : cases) EXPECT_EQ(alignLog(log, c.columns), c.expected) << c.name;
}

TEST(AlignLog, ThirtyColumnsPadTwentyNineCells) {
  // 31 cells per line; the first line's cells are one byte wider.
  std::string wide = "1___", narrow = "1___";
  for (int c = 0; c < 31; ++c) {
    wide += c == 0 ? "aa" : " aa";
    narrow += c == 0 ? "b" : " b";
  }
  std::string expected = "1___b  ";  // "1___b" is one byte short of "1___aa"
  for (int c = 1; c < 29; ++c) expected += "b  ";
  expected += "b b ";  // cells 30 and 31 follow with one space each
  EXPECT_EQ(alignLog({wide, narrow}, 30)[1], expected);
}

TEST(AlignLog, MarkersAndBlankRunsBecomeSingleSpaces) {
  EXPECT_EQ(alignLog({"1___a\\r\\nb \\r\\n c\\r\\n\\r\\n"}, 9), Lines{"1___a b c "});
  EXPECT_EQ(logCells("  x    y  "), (Lines{"x", "y"}));
  // Two squeezing passes leave five blanks as two: an empty cell, as the panes have always
  // shown it.
  EXPECT_EQ(logCells("x     y"), (Lines{"x", "", "y"}));
  EXPECT_TRUE(logCells("").empty());
}

TEST(AlignLog, BoundsAreTwoHundredTwentyLinesAndAHundredCells) {
  const Lines many(250, "1___x");
  EXPECT_EQ(alignLog(many, 9).size(), 220u);

  std::string line = "1___";
  for (int c = 0; c < 120; ++c) line += " w";
  EXPECT_EQ(logCells(line).size(), 100u);
}

}  // namespace
}  // namespace zeltaro::views
