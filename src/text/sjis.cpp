// SPDX-License-Identifier: GPL-3.0-or-later
#include "text/sjis.h"

#include <array>
#include <cstdint>
#include <cstring>

namespace zeltaro::text {

namespace {

// How often a byte turns up in the texts searched here (markup, spot records, notification
// lines): markup punctuation and blanks most, lower-case letters next, digits less, everything
// else seldom.
constexpr std::array<std::uint8_t, 256> kCommonness = [] {
  std::array<std::uint8_t, 256> t{};
  for (int c = 'a'; c <= 'z'; ++c) t[static_cast<std::size_t>(c)] = 2;
  for (int c = '0'; c <= '9'; ++c) t[static_cast<std::size_t>(c)] = 1;
  for (unsigned char c : {'<', '>', '/', ' ', '=', '"', '\''}) t[c] = 3;
  return t;
}();

}  // namespace

// The first byte-for-byte occurrence of needle (not empty) in hay at or after at. The library's
// memchr runs to the needle's least common byte, and the whole needle is compared around it, so
// markup-heavy text ("<" every few bytes) does not stop the scan at every tag.
Needle makeNeedle(std::string_view text) {
  std::size_t pivot = 0;
  for (std::size_t i = 1;
       i < text.size() && kCommonness[static_cast<unsigned char>(text[pivot])] > 0; ++i) {
    if (kCommonness[static_cast<unsigned char>(text[i])] <
        kCommonness[static_cast<unsigned char>(text[pivot])]) {
      pivot = i;
    }
  }
  return {text, pivot};
}

std::size_t byteFind(std::string_view hay, const Needle& needle, std::size_t at) {
  const std::string_view t = needle.text;
  const std::size_t n = t.size(), pivot = needle.pivot;
  if (at > hay.size() || n > hay.size() - at) return std::string_view::npos;
  const char* const base = hay.data();
  const char key = t[pivot];
  // Candidates start in [at, last]; their pivot byte lies pivot bytes further on.
  const char* p = base + at + pivot;
  const char* const end = base + hay.size() - n + pivot + 1;
  while (p < end) {
    if (end - p < 32) {  // a short stretch: a plain loop costs less than the library's call
      while (p < end && *p != key) ++p;
      if (p == end) break;
    } else {
      p = static_cast<const char*>(std::memchr(p, key, static_cast<std::size_t>(end - p)));
      if (!p) break;
    }
    const char* start = p - pivot;
    if (start[0] == t[0] && start[n - 1] == t[n - 1] &&
        (n <= 2 || std::memcmp(start + 1, t.data() + 1, n - 2) == 0)) {
      return static_cast<std::size_t>(start - base);
    }
    ++p;
  }
  return std::string_view::npos;
}

std::size_t find(std::string_view hay, std::string_view needle, std::size_t from) {
  if (needle.empty() || from == 0) return 0;
  std::size_t known = 0;  // a character start
  // The search starts at the first character start at or after the starting position.
  std::size_t at = std::min(from - 1, hay.size());
  if (at > 0 && at < hay.size() && !isCharStart(hay, known, at)) ++at;
  known = at;
  // The byte search proposes a place; it counts when it is a character start.
  const Needle n = makeNeedle(needle);
  for (;;) {
    const std::size_t p = byteFind(hay, n, at);
    if (p == std::string_view::npos) return 0;
    if (isCharStart(hay, known, p)) return p + 1;
    // p is the trail byte of a character that started at p - 1.
    known = at = p + 1;
  }
}

std::size_t find(std::string_view hay, const Needle& needle) {
  for (std::size_t known = 0, at = 0;;) {
    const std::size_t p = byteFind(hay, needle, at);
    if (p == std::string_view::npos) return 0;
    if (isCharStart(hay, known, p)) return p + 1;
    known = at = p + 1;  // p is the trail byte of a character that started at p - 1
  }
}

std::string replaceAll(std::string_view s, std::string_view from, std::string_view to) {
  if (from.empty()) return std::string(s);
  std::string out;
  out.reserve(s.size());
  std::size_t copied = 0;
  const std::size_t rest = forEachOccurrence(s, from, [&](std::size_t p) {
    out.append(s.substr(copied, p - copied));
    out.append(to);
    copied = p + from.size();
  });
  out.append(s.substr(rest));
  return out;
}

std::size_t replaceAllInPlace(std::string& s, const Needle& needle, std::string_view to) {
  const std::string_view from = needle.text;
  // The places found, kept between calls so that the many replacements of short texts do not
  // allocate.
  thread_local std::vector<std::size_t> at;
  at.clear();
  forEachOccurrence(s, needle, [&](std::size_t p) { at.push_back(p); });
  if (at.empty()) return 0;
  if (from.size() == to.size()) {
    for (std::size_t p : at) s.replace(p, from.size(), to);
    return at.size();
  }
  std::string out;
  out.reserve(s.size() - at.size() * from.size() + at.size() * to.size());
  std::size_t copied = 0;
  for (std::size_t p : at) {
    out.append(s, copied, p - copied);
    out.append(to);
    copied = p + from.size();
  }
  out.append(s, copied);
  s.swap(out);
  return at.size();
}

// Trail bytes of double-byte characters are stepped over: "ア" is 83 41 and must not become
// "ャ" (83 61).
template <char Lo, char Hi, int Shift>
static void mapLettersInPlace(std::string& out) {
  auto* p = reinterpret_cast<unsigned char*>(out.data());
  const std::size_t n = out.size();
  for (std::size_t i = 0; i < n;) {
    const unsigned char c = p[i];
    if (isLeadByte(c)) {
      i += 2;  // its trail byte is no letter (a lone lead byte at the end is none either)
      continue;
    }
    if (c >= static_cast<unsigned char>(Lo) && c <= static_cast<unsigned char>(Hi))
      p[i] = static_cast<unsigned char>(c + Shift);
    ++i;
  }
}

template <char Lo, char Hi, int Shift>
static std::string mapLetters(std::string_view s) {
  std::string out(s);
  mapLettersInPlace<Lo, Hi, Shift>(out);
  return out;
}

std::string foldAZ(std::string_view s) { return mapLetters<'A', 'Z', 'a' - 'A'>(s); }

void foldAZInPlace(std::string& s) { mapLettersInPlace<'A', 'Z', 'a' - 'A'>(s); }

std::string upperAZ(std::string_view s) { return mapLetters<'a', 'z', 'A' - 'a'>(s); }

static bool isBlankOrControl(char c) { return static_cast<unsigned char>(c) <= 0x20; }

std::string_view trimLeft(std::string_view s) {
  std::size_t b = 0;
  while (b < s.size() && isBlankOrControl(s[b])) ++b;
  return s.substr(b);
}

std::string_view trimRight(std::string_view s) {
  std::size_t e = s.size();
  while (e > 0 && isBlankOrControl(s[e - 1])) --e;
  return s.substr(0, e);
}

std::string_view trim(std::string_view s) { return trimRight(trimLeft(s)); }

std::string_view trimSpaces(std::string_view s) {
  std::size_t b = 0, e = s.size();
  while (b < e && s[b] == ' ') ++b;
  while (e > b && s[e - 1] == ' ') --e;
  return s.substr(b, e - b);
}

std::vector<std::string> splitLines(std::string_view s) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\r' || s[i] == '\n') {
      lines.emplace_back(s.substr(start, i - start));
      if (s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n') ++i;
      start = i + 1;
    }
  }
  if (start < s.size()) lines.emplace_back(s.substr(start));
  return lines;
}

std::string joinLines(const std::vector<std::string>& lines) {
  std::string out;
  for (const auto& l : lines) {
    out += l;
    out += "\r\n";
  }
  return out;
}

}  // namespace zeltaro::text
