// SPDX-License-Identifier: GPL-3.0-or-later
#include "alerts/lamps.h"

#include <gtest/gtest.h>

#include <string>

namespace zeltaro::alerts {
namespace {

// The whole visible state in one line: lamp colour (G/R) and cursor (d = default, h = hand),
// then the filter captions by their texts.
std::string show(const Lamps& l) {
  const auto lamp = [](const LampLabel& x) {
    std::string s;
    s += x.fontColor == kLampRed ? 'R' : x.fontColor == kLampGreen ? 'G' : '?';
    s += x.cursor == Cursor::HandPoint ? 'h' : 'd';
    return s;
  };
  const auto cap = [](const FilterCaption& x) {
    return x.fontColor == kLampRed ? "R" : x.fontColor == kLampGreen ? "G" : "?";
  };
  return "13:" + lamp(l.masterLamp) + " 10:" + lamp(l.list1Lamp) + " 11:" + lamp(l.list2Lamp) +
         " 12:" + lamp(l.list3Lamp) + " | All:" + cap(l.allCaption) + " 1:" + cap(l.list1Caption) +
         " 2:" + cap(l.list2Caption) + " 3:" + cap(l.list3Caption) +
         " 123:" + cap(l.stackedCaption);
}

TEST(Lamps, ColoursAreTheSignalRgbValues) {
  EXPECT_EQ(kLampGreen, (Rgb{0, 128, 0}));
  EXPECT_EQ(kLampRed, (Rgb{255, 0, 0}));
}

TEST(Lamps, StartGreenWithDefaultCursors) {
  EXPECT_EQ(show(Lamps{}), "13:Gd 10:Gd 11:Gd 12:Gd | All:G 1:G 2:G 3:G 123:G");
}

TEST(Lamps, LightingMarksTheMasterLampAndEachMatchedList) {
  struct Row {
    const char* name;
    bool l1, l2, l3;
    const char* expected;
  };
  const Row rows[] = {
      {"list 2 only", false, true, false, "13:Rh 10:Gd 11:Rh 12:Gd | All:R 1:G 2:R 3:G 123:R"},
      {"lists 1 and 3", true, false, true, "13:Rh 10:Rh 11:Gd 12:Rh | All:R 1:R 2:G 3:R 123:R"},
      {"all lists", true, true, true, "13:Rh 10:Rh 11:Rh 12:Rh | All:R 1:R 2:R 3:R 123:R"},
  };
  for (const Row& r : rows) {
    Lamps l;
    l.light(r.l1, r.l2, r.l3);
    EXPECT_EQ(show(l), r.expected) << r.name;
  }
}

TEST(Lamps, LaterLinesAddToLitLampsAndNeverResetThem) {
  Lamps l;
  l.light(true, false, false);
  l.light(false, false, true);
  EXPECT_EQ(show(l), "13:Rh 10:Rh 11:Gd 12:Rh | All:R 1:R 2:G 3:R 123:R");
}

TEST(Lamps, AListLampClickResetsOnlyItself) {
  Lamps l;
  l.light(true, true, true);
  l.resetList2Lamp();
  EXPECT_EQ(show(l), "13:Rh 10:Rh 11:Gd 12:Rh | All:R 1:R 2:G 3:R 123:R");
  l.resetList1Lamp();
  l.resetList3Lamp();
  EXPECT_EQ(show(l), "13:Rh 10:Gd 11:Gd 12:Gd | All:R 1:G 2:G 3:G 123:R");
}

TEST(Lamps, MasterLampClickResetsAllButKeepsItsHandCursor) {
  Lamps l;
  l.light(false, true, false);
  l.resetList2Lamp();
  l.light(true, false, true);
  l.resetAllLamps();
  EXPECT_EQ(show(l), "13:Gh 10:Gd 11:Gd 12:Gd | All:G 1:G 2:G 3:G 123:G");
}

TEST(Lamps, ClearTurnsEverythingGreenAndLeavesCursors) {
  Lamps l;
  l.light(true, false, true);
  l.clearColours();
  EXPECT_EQ(show(l), "13:Gh 10:Gh 11:Gd 12:Gh | All:G 1:G 2:G 3:G 123:G");
}

}  // namespace
}  // namespace zeltaro::alerts
