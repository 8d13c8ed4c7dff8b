// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Shift-JIS (code page 932) byte-string helpers. Every text search and replace in the spot
// processing goes through these, so that a match never starts on the trail byte of a
// double-byte character.

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zeltaro::text {

// 0x81-0x9F and 0xE0-0xFC start a double-byte character.
constexpr bool isLeadByte(unsigned char c) {
  return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// Length in bytes of the character that starts at byte index i (1 or 2; a lead byte with no
// byte after it is a character of one byte).
inline std::size_t charLength(std::string_view s, std::size_t i) {
  return i + 1 < s.size() && isLeadByte(static_cast<unsigned char>(s[i])) ? 2 : 1;
}

// Whether byte p of s starts a character, given a byte known (at or before p) that starts one.
// Every byte that is not a lead byte ends a character (a single byte or a trail byte), so the
// character walk restarts right after the last such byte before p; from there on only lead
// bytes stand before p, each opening a character of two, and p starts one when their number is
// even. Usually one or two bytes are looked at, never more than p - known.
inline bool isCharStart(std::string_view s, std::size_t known, std::size_t p) {
  std::size_t q = p;
  while (q > known && isLeadByte(static_cast<unsigned char>(s[q - 1]))) --q;
  return (p - q) % 2 == 0;
}

// A needle (not empty) with the byte its search runs to: the least common one (markup
// punctuation and blanks are common, lower-case letters less, capitals and the rest seldom),
// worked out once for needles searched again and again. text must outlive it.
struct Needle {
  std::string_view text;
  std::size_t pivot = 0;
};
Needle makeNeedle(std::string_view text);

// The first byte-for-byte occurrence of needle (not empty) in hay at or after byte at (0-based),
// npos when there is none; no character rule.
std::size_t byteFind(std::string_view hay, const Needle& needle, std::size_t at);
inline std::size_t byteFind(std::string_view hay, std::string_view needle, std::size_t at) {
  return byteFind(hay, makeNeedle(needle), at);
}

// Calls found(p) for every occurrence of needle (not empty) in s (p 0-based), left to right and
// not overlapping, each at a character start as find() has it; after an occurrence the walk
// goes on right after it, as from a character start. Returns where the text after the last
// occurrence starts (0 when there is none).
template <typename Found>
std::size_t forEachOccurrence(std::string_view s, const Needle& needle, Found&& found) {
  std::size_t known = 0, at = 0, rest = 0;
  for (;;) {
    const std::size_t p = byteFind(s, needle, at);
    if (p == std::string_view::npos) return rest;
    if (!isCharStart(s, known, p)) {
      known = at = p + 1;  // p is the trail byte of a character that started at p - 1
      continue;
    }
    found(p);
    known = at = rest = p + needle.text.size();
  }
}
template <typename Found>
std::size_t forEachOccurrence(std::string_view s, std::string_view needle, Found&& found) {
  return forEachOccurrence(s, makeNeedle(needle), std::forward<Found>(found));
}

// 1-based position of the first occurrence of needle in hay at or after the 1-based position
// from; 0 when there is none. An empty needle is never found. Only character starts are tried.
std::size_t find(std::string_view hay, std::string_view needle, std::size_t from = 1);
// find(hay, needle) from the start, for a needle made once.
std::size_t find(std::string_view hay, const Needle& needle);

// Every non-overlapping occurrence of from (found as above, left to right) replaced by to.
std::string replaceAll(std::string_view s, std::string_view from, std::string_view to);
// The same in place; s is left untouched (no copy made) when from does not occur. Returns the
// number of replacements.
std::size_t replaceAllInPlace(std::string& s, const Needle& from, std::string_view to);
inline std::size_t replaceAllInPlace(std::string& s, std::string_view from, std::string_view to) {
  return from.empty() ? 0 : replaceAllInPlace(s, makeNeedle(from), to);
}

// Half-width A-Z to a-z; every other byte, including the trail bytes of double-byte
// characters, unchanged.
std::string foldAZ(std::string_view s);
void foldAZInPlace(std::string& s);
// Half-width a-z to A-Z; the upper-case counterpart, for texts the console compares.
std::string upperAZ(std::string_view s);

// Removes blanks and control characters (bytes 0x00-0x20) at both ends.
std::string_view trim(std::string_view s);
std::string_view trimLeft(std::string_view s);
std::string_view trimRight(std::string_view s);

// Removes half-width spaces only at both ends.
std::string_view trimSpaces(std::string_view s);

// Lines of a multi-line text split at CR LF, lone CR or lone LF. A final empty line after the
// last line break is not a line; an empty text has no lines.
std::vector<std::string> splitLines(std::string_view s);
// Lines joined with CR LF, with a CR LF after the last line as a text box holds them.
std::string joinLines(const std::vector<std::string>& lines);

}  // namespace zeltaro::text
