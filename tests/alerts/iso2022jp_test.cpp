// SPDX-License-Identifier: GPL-3.0-or-later
#include "alerts/iso2022jp.h"

#include <gtest/gtest.h>

#include "text/base64.h"
#include "text/codec.h"

namespace zeltaro::alerts {
namespace {

using text::sj;

std::string repeat(std::string_view s, std::size_t n) {
  std::string out;
  for (std::size_t i = 0; i < n; ++i) out += s;
  return out;
}

TEST(Iso2022Jp, ConvertsShiftJis) {
  const struct {
    const char* name;
    std::string sjis;
    std::string jis;
  } rows[] = {
      {"half-width kana", sj("ｱｲｳ"), "\x1b$B%\"%$%&\x1b(B"},
      {"sound mark stays separate", sj("ｶﾞ"), "\x1b$B%+!+\x1b(B"},
      {"punctuation kana", sj("｡｢｣､･ｰ"), "\x1b$B!#!V!W!\"!&!<\x1b(B"},
      {"text ending in kanji", sj("CQ 漢字"), "CQ \x1b$B4A;z\x1b(B"},
      {"trail bytes 0x5C and 0x40-0x7E", sj("表ソ"), "\x1b$BI=%=\x1b(B"},
      {"lead bytes from 0xE0", sj("遏髻"), "\x1b$Bn!r!\x1b(B"},
      {"kanji then ascii", sj("本日 7MHz"), "\x1b$BK\\F|\x1b(B 7MHz"},
      {"pure ascii", "JA1ABC 7,010 CW\\r\\n", "JA1ABC 7,010 CW\\r\\n"},
      {"empty", "", ""},
      {"0x80 0xA0 0xF0 as single bytes", "\x80\xA0\xF0\xFF", "\x80\xA0\xF0\xFF"},
      {"single bytes close the kanji run", sj("字") + "\xA0", "\x1b$B;z\x1b(B\xA0"},
      {"trailing lone lead byte dropped", sj("字") + "\x8A", "\x1b$B;z\x1b(B"},
      {"lone lead byte after ascii", "A\xE0", "A"},
      {"input ends at NUL", std::string("A\0\x8A\x40", 4), "A"},
  };
  for (const auto& r : rows) EXPECT_EQ(toIso2022Jp(r.sjis), r.jis) << r.name;
}

TEST(Iso2022Jp, StopsAtTheLimitOnACharacterBoundaryAndClosesTheRun) {
  // 3 + 2 * 2044 + 3 = 4094 bytes: one more kanji would leave no room for ESC ( B.
  EXPECT_EQ(toIso2022Jp(repeat(sj("漢"), 3000)), "\x1b$B" + repeat("4A", 2044) + "\x1b(B");
  // The switch into kanji needs room for its own closing escape.
  EXPECT_EQ(toIso2022Jp(repeat("A", 4087) + sj("字字")), repeat("A", 4087) + "\x1b$B;z\x1b(B");
  EXPECT_EQ(toIso2022Jp(repeat("A", 4088) + sj("字")), repeat("A", 4088));
  EXPECT_EQ(toIso2022Jp(repeat("A", 5000)), repeat("A", 4095));
  // Leaving a kanji run for one byte takes four bytes of the limit.
  EXPECT_EQ(toIso2022Jp(repeat("A", 4086) + sj("字") + "BC"),
            repeat("A", 4086) + "\x1b$B;z\x1b(BB");
}

TEST(HeaderWord, EncodesOnlyTextWithHighBytes) {
  EXPECT_EQ(encodeHeaderWord("ZELTARO V2 (3)  1'st(A)"), "ZELTARO V2 (3)  1'st(A)");
  EXPECT_EQ(encodeHeaderWord(sj("通知")), "=?iso-2022-jp?B?GyRCRExDThsoQg==?=");
  EXPECT_EQ(encodeHeaderWord(sj("ZELTARO V2 (3)  1'st(A) 通知")),
            "=?iso-2022-jp?B?WkVMVEFSTyBWMiAoMykgIDEnc3QoQSkgGyRCRExDThsoQg==?=");
  // A half-width kana is a high byte too.
  EXPECT_EQ(encodeHeaderWord(sj("ｱ")), "=?iso-2022-jp?B?GyRCJSIbKEI=?=");
}

TEST(HeaderWord, LongTextStaysOneWordWithinTheLimit) {
  const std::string word = encodeHeaderWord(repeat(sj("漢"), 3000));
  ASSERT_EQ(word.substr(0, 16), "=?iso-2022-jp?B?");
  ASSERT_EQ(word.substr(word.size() - 2), "?=");
  EXPECT_LE(word.size(), 4095u);
  EXPECT_EQ(text::base64Decode(word.substr(16, word.size() - 18)),
            "\x1b$B" + repeat("4A", 1525) + "\x1b(B");
}

TEST(Base64Limited, StopsAtNulAndAtTheLimit) {
  EXPECT_EQ(base64Limited(std::string("user\0rest", 9)), "dXNlcg==");
  EXPECT_EQ(base64Limited(repeat("abc", 3000)), repeat("YWJj", 2047));
}

}  // namespace
}  // namespace zeltaro::alerts
