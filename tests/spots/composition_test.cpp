#include "spots/composition.h"

#include <gtest/gtest.h>

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
    const Composition got = compose(c.body, c.slots, pump);
    EXPECT_EQ(got.searchable, c.searchable) << c.name;
    EXPECT_EQ(got.display, c.display) << c.name;
    EXPECT_EQ(got.search, c.search) << c.name;
  }
}

}  // namespace
}  // namespace zeltaro::spots
