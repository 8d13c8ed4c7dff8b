// SPDX-License-Identifier: GPL-3.0-or-later
#include "spots/extraction.h"

#include <gtest/gtest.h>

namespace zeltaro::spots {
namespace {

platform::NullMessagePump pump;

std::vector<std::string> slotList(const ExtractionSlots& s) {
  return std::vector<std::string>(s.begin() + 1, s.end());
}

TEST(Extraction, DefaultTemplateWithDateMarksMissingRoles) {
  const std::string record =
      "<LineStart><!--123--></LineStart><Date>2013/05/01</Date><Time>12:34</Time>"
      "<CallSignTo>STN1</CallSignTo>";
  const auto slots = fillSlots(record, defaultExtractionTemplate(), RoleSlots{}, pump);
  const std::vector<std::string> expected = {"123", "13/05/01", "12:34", "STN1", "?", "?", "?",
                                             "?",   "",         "",      "",     "",  "",  "",
                                             "",    "",         "",      "",     "",  ""};
  EXPECT_EQ(slotList(slots), expected);
}

TEST(Extraction, NoDateNoMarks) {
  const std::string record =
      "<LineStart><!--123--></LineStart><Time>12:34</Time><CallSignTo>STN1</CallSignTo>";
  const auto slots = fillSlots(record, defaultExtractionTemplate(), RoleSlots{}, pump);
  for (int k = 5; k <= kSlotCount; ++k) EXPECT_EQ(slots[k], "") << k;
  EXPECT_EQ(slots[3], "12:34");
}

TEST(Extraction, FullDefaultRecord) {
  const std::string record =
      "<LineStart><!--7--></LineStart><Date>2026/12/09</Date><Time>23:15</Time>"
      "<CallSignTo>JA1ZZZ</CallSignTo><Freq>7,010</Freq><Mode>CW</Mode><Qth>1001</Qth>"
      "<QthName>Tokyo</QthName><Distance>12km</Distance><Comments>tnx</Comments>"
      "<CallSignFrom>JA2YYY</CallSignFrom><font title='Aichi'><QthFrom>2001</QthFrom>";
  const auto s = fillSlots(record, defaultExtractionTemplate(), RoleSlots{}, pump);
  const std::vector<std::string> expected = {"7",      "26/12/09", "23:15", "JA1ZZZ", "7,010",
                                             "CW",     "1001",     "Tokyo", "12km",   "tnx",
                                             "JA2YYY", "Aichi",    "2001"};
  EXPECT_EQ(std::vector<std::string>(s.begin() + 1, s.begin() + 14), expected);
}

TEST(Extraction, TemplateRules) {
  struct Case {
    const char* name;
    std::vector<std::string> tmpl;
    std::string record;
    int slot;
    std::string expected;
  };
  const Case cases[] = {
      {"two lines fill one slot, joined by a space",
       {"<A>$#05</A>", "<B>$#05</B>"},
       "<A>x</A><B>y</B>",
       5,
       "x y"},
      {"an empty contribution still adds the space",
       {"<A>$#05</A>", "<B>$#05</B>"},
       "<A>x</A><B></B>",
       5,
       "x "},
      {"nothing before the tag extracts nothing", {"$#03</Time>"}, "<Time>1</Time>", 3, ""},
      {"nothing after the tag extracts nothing", {"<Time>$#03"}, "<Time>1</Time>", 3, ""},
      {"first prefix and first suffix decide", {"<a>$#01</a>"}, "<a>1</a><a>2</a>", 1, "1"},
      {"suffix before prefix extracts nothing", {"<a>$#01</a>"}, "</a>x<a>1", 1, ""},
      {"suffix inside the prefix gives an empty value", {"ab$#01b"}, "abz", 1, ""},
      {"one-digit tag is no tag", {"<a>$#1</a>"}, "<a>1</a>", 1, ""},
      {"$#21 is no tag", {"<a>$#21</a>"}, "<a>1</a>", 2, ""},
      {"values keep markup and spaces", {"<a>$#20</a>"}, "<a> <b>x</b> </a>", 20, " <b>x</b> "},
      {"empty template line contributes nothing", {"", "<a>$#01</a>"}, "<a>v</a>", 1, "v"},
  };
  for (const auto& c : cases) {
    const auto slots = fillSlots(c.record, c.tmpl, RoleSlots{}, pump);
    EXPECT_EQ(slots[c.slot], c.expected) << c.name;
  }
}

TEST(Extraction, QuestionMarksOnlyAfterTheDateSlotAndOnlyInRoles) {
  RoleSlots roles;
  roles.HTTP_DATE = 9;
  roles.HTTP_TIME = 3;
  const auto slots = fillSlots("<d>x</d>", {"<d>$#09</d>"}, roles, pump);
  EXPECT_EQ(slots[3], "");   // before the date slot
  EXPECT_EQ(slots[10], "");  // remarks never get a mark
  EXPECT_EQ(slots[11], "");  // no role
  // Call, freq, mode, code, qth (4-8) lie before slot 9 too.
  for (int k = 1; k <= 8; ++k) EXPECT_EQ(slots[k], "") << k;

  roles.HTTP_CALL = 12;
  EXPECT_EQ(fillSlots("<d>x</d>", {"<d>$#09</d>"}, roles, pump)[12], "?");
}

TEST(Extraction, RoleSlotRange) {
  EXPECT_EQ(roleSlotOrDefault(25, 4), 4);
  EXPECT_EQ(roleSlotOrDefault(0, 4), 4);
  EXPECT_EQ(roleSlotOrDefault(-3, 4), 4);
  EXPECT_EQ(roleSlotOrDefault(1, 4), 1);
  EXPECT_EQ(roleSlotOrDefault(20, 4), 20);
}

TEST(Extraction, PumpRunsBeforeEveryTagSearch) {
  struct Counter : platform::MessagePump {
    int n = 0;
    void pump() override { ++n; }
  } counter;
  fillSlots("r", {"a", "", "b"}, RoleSlots{}, counter);
  EXPECT_EQ(counter.n, 40);
}

}  // namespace
}  // namespace zeltaro::spots
