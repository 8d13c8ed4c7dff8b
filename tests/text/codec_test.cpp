// SPDX-License-Identifier: GPL-3.0-or-later
#include "text/codec.h"

#include <gtest/gtest.h>

namespace zeltaro::text {
namespace {

TEST(Codec, Cp932Bytes) {
  EXPECT_EQ(sj("ソ表"), "\x83\x5C\x95\x5C");
  EXPECT_EQ(sj("ｱｲｳ"), "\xB1\xB2\xB3");
  EXPECT_EQ(sj("＠"), "\x81\x97");
  EXPECT_EQ(sj("　"), "\x81\x40");
  // Code page 932 maps the wave dash key to U+FF5E, not U+301C.
  EXPECT_EQ(sj("～"), "\x81\x60");
  EXPECT_EQ(sj("abc"), "abc");
}

TEST(Codec, RoundTrip) {
  const std::string s = "Zeltaro \xB1\xB2 \x83\x5C\x95\x5C \x87\x40";  // ① is NEC 87 40
  EXPECT_EQ(cp932FromUtf8(utf8FromCp932(s)), s);
  EXPECT_EQ(utf8FromCp932("\x87\x40"), "\xE2\x91\xA0");
}

TEST(Codec, BadInputIsReplacedNotLost) {
  EXPECT_EQ(utf8FromCp932("a\x83"), "a\xEF\xBF\xBD");     // lone lead byte at the end
  EXPECT_EQ(utf8FromCp932("a\xA0z"), "a\xEF\xBF\xBDz");   // unassigned single byte
  EXPECT_EQ(cp932FromUtf8("a\xF0\x9F\x98\x80z"), "a?z");  // emoji: no CP932 form
  EXPECT_EQ(cp932FromUtf8("a\xC3"), "a?");                // truncated UTF-8
}

}  // namespace
}  // namespace zeltaro::text
