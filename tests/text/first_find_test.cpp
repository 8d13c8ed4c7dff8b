// SPDX-License-Identifier: GPL-3.0-or-later
#include "text/first_find.h"

#include <gtest/gtest.h>

#include <random>

#include "text/sjis.h"

namespace zeltaro::text {
namespace {

std::vector<std::size_t> placesOf(const FirstFind& f, std::string_view t) {
  std::vector<std::size_t> places(f.count());
  f.firstPlaces(t, places.data());
  return places;
}

TEST(FirstFind, EachPieceAtItsFirstCharacterStart) {
  FirstFind f;
  const int date = f.add("<Date>"), dateEnd = f.add("</Date>"), quote = f.add("'"), lt = f.add("<"),
            longer = f.add("<LineStart><!--");
  EXPECT_EQ(f.add("<Date>"), date);  // the same piece keeps its number
  f.build();
  // "\x95<" is one double-byte character: its "<" is a trail byte, the next one counts.
  const std::string t = "x\x95<Date>'<LineStart><!--1--><Date>7</Date>";
  std::vector<std::size_t> want(f.count());
  want[static_cast<std::size_t>(date)] = 29;
  want[static_cast<std::size_t>(dateEnd)] = 36;
  want[static_cast<std::size_t>(quote)] = 9;
  want[static_cast<std::size_t>(lt)] = 10;
  want[static_cast<std::size_t>(longer)] = 10;
  EXPECT_EQ(placesOf(f, t), want);
  EXPECT_EQ(placesOf(f, ""), std::vector<std::size_t>(f.count(), 0));
}

// On texts and pieces built to trip it (lead and trail bytes that look like markup, pieces that
// share their first bytes, pieces longer than the text, more than four first bytes, texts
// longer and shorter than sixteen bytes), every place must be find()'s.
TEST(FirstFind, AgreesWithFind) {
  std::mt19937 rng(20261210);
  const std::vector<std::string> bits = {
      "<", "<D", "<Da",  "<Date>", "</",   "</D",      ">",  "'",     "-",    "--",
      "a", "D",  "\x81", "\x95<",  "\xE0", "\x81\x81", "<Q", "<Qth>", "\x5c", "x"};
  const auto pick = [&](int most) {
    std::string s;
    const int n = std::uniform_int_distribution<int>(0, most)(rng);
    for (int i = 0; i < n; ++i)
      s += bits[std::uniform_int_distribution<std::size_t>(0, bits.size() - 1)(rng)];
    return s;
  };
  for (int round = 0; round < 3000; ++round) {
    FirstFind f;
    std::vector<std::string> pieces;
    const int n = std::uniform_int_distribution<int>(1, 9)(rng);
    for (int i = 0; i < n; ++i) {
      std::string p = pick(4);
      if (p.empty()) p = "<";
      if (f.add(p) == static_cast<int>(pieces.size())) pieces.push_back(p);
    }
    f.build();
    for (int k = 0; k < 10; ++k) {
      const std::string t = pick(24);
      const std::vector<std::size_t> got = placesOf(f, t);
      for (std::size_t i = 0; i < pieces.size(); ++i)
        ASSERT_EQ(got[i], text::find(t, pieces[i]))
            << ::testing::PrintToString(t) << " " << ::testing::PrintToString(pieces[i]);
    }
  }
}

}  // namespace
}  // namespace zeltaro::text
