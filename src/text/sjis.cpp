#include "text/sjis.h"

namespace zeltaro::text {

std::size_t find(std::string_view hay, const CharStarts& starts, std::string_view needle) {
  if (needle.empty()) return 0;
  for (std::size_t at = 0;;) {
    const std::size_t p = hay.find(needle, at);
    if (p == std::string_view::npos) return 0;
    if (starts[p]) return p + 1;
    at = p + 1;
  }
}

std::size_t find(std::string_view hay, std::string_view needle, std::size_t from) {
  if (needle.empty() || from == 0) return 0;
  std::size_t boundary = 0;  // a character start, walked forward as far as needed
  // Walk character by character up to the starting position so that it is a character start.
  while (boundary < hay.size() && boundary + 1 < from) boundary += charLength(hay, boundary);
  // The library's byte search proposes a place; it counts when it is a character start.
  for (std::size_t at = boundary;;) {
    const std::size_t p = hay.find(needle, at);
    if (p == std::string_view::npos) return 0;
    while (boundary < p) boundary += charLength(hay, boundary);
    if (boundary == p) return p + 1;
    at = p + 1;
  }
}

std::string replaceAll(std::string_view s, std::string_view from, std::string_view to) {
  if (from.empty()) return std::string(s);
  std::string out;
  out.reserve(s.size());
  std::size_t runStart = 0;  // start of the text not yet copied
  std::size_t boundary = 0;  // a character start
  for (std::size_t at = 0;;) {
    const std::size_t p = s.find(from, at);
    if (p == std::string_view::npos) break;
    while (boundary < p) boundary += charLength(s, boundary);
    if (boundary != p) {
      at = p + 1;
      continue;
    }
    out.append(s.substr(runStart, p - runStart));
    out.append(to);
    // The walk goes on right after the replaced text, as from a character start.
    boundary = runStart = at = p + from.size();
  }
  out.append(s.substr(runStart));
  return out;
}

// Trail bytes of double-byte characters are stepped over: "ア" is 83 41 and must not become
// "ャ" (83 61).
template <char Lo, char Hi, int Shift>
static std::string mapLetters(std::string_view s) {
  std::string out(s);
  for (std::size_t i = 0; i < out.size();) {
    const std::size_t n = charLength(out, i);
    if (n == 1 && out[i] >= Lo && out[i] <= Hi) out[i] = static_cast<char>(out[i] + Shift);
    i += n;
  }
  return out;
}

std::string foldAZ(std::string_view s) { return mapLetters<'A', 'Z', 'a' - 'A'>(s); }

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
