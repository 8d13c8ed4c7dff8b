// SPDX-License-Identifier: GPL-3.0-or-later
#include "alerts/iso2022jp.h"

#include <cstdint>

#include "text/base64.h"

namespace zeltaro::alerts {
namespace {

constexpr std::string_view kToKanji = "\x1b$B";
constexpr std::string_view kToAscii = "\x1b(B";

// Full-width Shift-JIS codes of the half-width katakana 0xA1-0xDF; the sound marks 0xDE and
// 0xDF become the stand-alone full-width marks, never combined with the kana before them.
constexpr std::uint16_t kFullWidthKana[63] = {
    0x8142, 0x8175, 0x8176, 0x8141, 0x8145, 0x8392, 0x8340, 0x8342, 0x8344, 0x8346, 0x8348,
    0x8383, 0x8385, 0x8387, 0x8362, 0x815B, 0x8341, 0x8343, 0x8345, 0x8347, 0x8349, 0x834A,
    0x834C, 0x834E, 0x8350, 0x8352, 0x8354, 0x8356, 0x8358, 0x835A, 0x835C, 0x835E, 0x8360,
    0x8363, 0x8365, 0x8367, 0x8369, 0x836A, 0x836B, 0x836C, 0x836D, 0x836E, 0x8371, 0x8374,
    0x8377, 0x837A, 0x837D, 0x837E, 0x8380, 0x8381, 0x8382, 0x8384, 0x8386, 0x8388, 0x8389,
    0x838A, 0x838B, 0x838C, 0x838D, 0x838F, 0x8393, 0x814A, 0x814B,
};

bool isJisLead(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xEF); }
bool isHalfKana(unsigned char c) { return c >= 0xA1 && c <= 0xDF; }

// The standard Shift-JIS to JIS X 0208 arithmetic (byte arithmetic, as the pair may be odd).
void appendJis(std::string& out, unsigned c1, unsigned c2) {
  if (c1 >= 0xE0) c1 -= 0x40;
  const unsigned r = c1 - 0x81;
  unsigned j1, j2;
  if (c2 < 0x9F) {
    j1 = 2 * r + 0x21;
    j2 = c2 < 0x80 ? c2 - 0x1F : c2 - 0x20;
  } else {
    j1 = 2 * r + 0x22;
    j2 = c2 - 0x7E;
  }
  out += static_cast<char>(j1 & 0xFF);
  out += static_cast<char>(j2 & 0xFF);
}

std::string_view upToNul(std::string_view s) {
  const std::size_t nul = s.find('\0');
  return nul == std::string_view::npos ? s : s.substr(0, nul);
}

}  // namespace

std::string toIso2022Jp(std::string_view sjis, std::size_t limit) {
  const std::string_view in = upToNul(sjis);
  std::string out;
  bool kanji = false;
  // Every step keeps room for the closing escape, so stopping anywhere leaves a valid text.
  for (std::size_t i = 0; i < in.size();) {
    const unsigned char c = static_cast<unsigned char>(in[i]);
    if (isJisLead(c) || isHalfKana(c)) {
      const bool twoBytes = isJisLead(c);
      if (twoBytes && i + 1 >= in.size()) break;  // lead byte without trail byte
      const std::size_t need = (kanji ? 0 : kToKanji.size()) + 2 + kToAscii.size();
      if (out.size() + need > limit) break;
      if (!kanji) out += kToKanji;
      kanji = true;
      if (twoBytes) {
        appendJis(out, c, static_cast<unsigned char>(in[i + 1]));
        i += 2;
      } else {
        const std::uint16_t full = kFullWidthKana[c - 0xA1];
        appendJis(out, full >> 8, full & 0xFF);
        i += 1;
      }
    } else {
      const std::size_t need = (kanji ? kToAscii.size() : 0) + 1;
      if (out.size() + need > limit) break;
      if (kanji) out += kToAscii;
      kanji = false;
      out += static_cast<char>(c);
      i += 1;
    }
  }
  if (kanji) out += kToAscii;
  return out;
}

std::string encodeHeaderWord(std::string_view sjis) {
  const std::string_view in = upToNul(sjis);
  bool plain = true;
  for (char ch : in) plain = plain && static_cast<unsigned char>(ch) < 0x80;
  if (plain) return std::string(in);
  constexpr std::string_view kOpen = "=?iso-2022-jp?B?";
  constexpr std::string_view kClose = "?=";
  // The longest conversion whose base64 still fits the word: 4 characters per 3 bytes.
  const std::size_t maxBase64 = (kHeaderWordLimit - kOpen.size() - kClose.size()) / 4 * 4;
  const std::string jis = toIso2022Jp(in, maxBase64 / 4 * 3);
  std::string word(kOpen);
  word += text::base64Encode(jis);
  word += kClose;
  return word;
}

std::string base64Limited(std::string_view bytes) {
  const std::string_view in = upToNul(bytes);
  const std::size_t maxBytes = kBase64Limit / 4 * 3;
  return text::base64Encode(in.substr(0, maxBytes));
}

}  // namespace zeltaro::alerts
