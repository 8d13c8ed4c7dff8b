// SPDX-License-Identifier: GPL-3.0-or-later
#include "spots/page_text.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "text/sjis.h"

namespace zeltaro::spots {

std::string decodeEntities(std::string_view page) {
  // One pass after the other: "&amp;lt;" becomes "<".
  std::string s(page);
  for (const auto& [entity, character] :
       {std::pair{"&quot;", "\""}, std::pair{"&amp;", "&"}, std::pair{"&lt;", "<"},
        std::pair{"&gt;", ">"}, std::pair{"&nbsp;", " "}}) {
    text::replaceAllInPlace(s, entity, character);
  }
  return s;
}

namespace {

// Appends the bytes [p, end) without their CR and LF bytes to s.
void appendWithoutLineBreaks(std::string& s, const char* p, const char* const end) {
  const auto next = [end](const char* from, char c) {
    const void* hit = std::memchr(from, c, static_cast<std::size_t>(end - from));
    return hit ? static_cast<const char*>(hit) : end;
  };
  const char *cr = next(p, '\r'), *lf = next(p, '\n');
  while (p < end) {
    if (cr < p) cr = next(p, '\r');
    if (lf < p) lf = next(p, '\n');
    const char* stop = std::min(cr, lf);
    s.append(p, static_cast<std::size_t>(stop - p));
    p = stop + (stop < end ? 1 : 0);
  }
}

// The text without its CR and LF bytes.
std::string withoutLineBreaks(std::string_view page) {
  std::string s;
  s.reserve(page.size());
  appendWithoutLineBreaks(s, page.data(), page.data() + page.size());
  return s;
}

}  // namespace

namespace {

bool holdsLineBreak(std::string_view s) {
  return s.find_first_of("\r\n") != std::string_view::npos;
}

// The places where inserting line breaks before every sepStart and after every sepEnd would
// break s, in order (a place twice when both fall on it). Both passes see the same text then
// (the breaks are whole characters and the separators hold none), unless an end separator
// straddles the start of a start separator: the second pass would not find it after the first
// pass's break, so nullopt.
std::optional<std::vector<std::size_t>> breaksAtSeparators(std::string_view s,
                                                           std::string_view sepStart,
                                                           std::string_view sepEnd) {
  std::vector<std::size_t> starts, ends;
  text::forEachOccurrence(s, sepStart, [&](std::size_t p) { starts.push_back(p); });
  std::size_t next = 0;  // the first start not before the end separator in hand
  bool straddles = false;
  text::forEachOccurrence(s, sepEnd, [&](std::size_t p) {
    while (next < starts.size() && starts[next] <= p) ++next;
    if (next < starts.size() && starts[next] < p + sepEnd.size()) straddles = true;
    ends.push_back(p + sepEnd.size());
  });
  if (straddles) return std::nullopt;
  // Both lists are in order already.
  std::vector<std::size_t> breaks(starts.size() + ends.size());
  std::merge(ends.begin(), ends.end(), starts.begin(), starts.end(), breaks.begin());
  return breaks;
}

// The lines those breaks make, cut straight out of s, each passed to line(from, to).
template <typename Line>
void forEachLine(std::string_view s, const std::vector<std::size_t>& breaks, Line&& line) {
  std::size_t from = 0;
  for (std::size_t b : breaks) {
    line(from, b);
    from = b;
  }
  if (from < s.size()) line(from, s.size());  // no line after a final break
}

bool separatorsCutInOnePass(std::string_view sepStart, std::string_view sepEnd) {
  return !sepStart.empty() && !sepEnd.empty() && !holdsLineBreak(sepStart) &&
         !holdsLineBreak(sepEnd);
}

// The page's entities decoded and its CR and LF bytes left out, in one pass: the same text as
// withoutLineBreaks(decodeEntities(page)). The five passes of decodeEntities come down to a
// look at each "&" that starts a character: no pass changes whether an "&" does (the bytes
// before it that decide stay as they are, and every text put in is one ASCII byte), and "&amp;"
// is the only entity whose result ("&") a later pass can take up, with "lt;", "gt;" or "nbsp;"
// right after it.
std::string decodedWithoutLineBreaks(std::string_view page) {
  std::string s;
  s.reserve(page.size());
  const char* const begin = page.data();
  const char* const end = begin + page.size();
  const auto startsWith = [end](const char* p, std::string_view what) {
    return static_cast<std::size_t>(end - p) >= what.size() &&
           std::memcmp(p, what.data(), what.size()) == 0;
  };
  struct Entity {
    std::string_view afterAmpersand;
    char character;
  };
  static constexpr Entity kLater[] = {{"lt;", '<'}, {"gt;", '>'}, {"nbsp;", ' '}};
  const char* p = begin;
  std::size_t known = 0;  // a character start
  while (p < end) {
    const auto* amp =
        static_cast<const char*>(std::memchr(p, '&', static_cast<std::size_t>(end - p)));
    if (!amp) amp = end;
    appendWithoutLineBreaks(s, p, amp);
    if (amp == end) break;
    const auto at = static_cast<std::size_t>(amp - begin);
    p = amp + 1;
    if (!text::isCharStart(page, known, at)) {  // the trail byte of a double-byte character
      s += '&';
      known = at + 1;
      continue;
    }
    const char* rest = amp + 1;
    char out = '&';
    if (startsWith(rest, "quot;")) {
      out = '"', rest += 5;
    } else {
      if (startsWith(rest, "amp;")) rest += 4;  // "&", which the later passes may take up
      for (const Entity& e : kLater) {
        if (startsWith(rest, e.afterAmpersand)) {
          out = e.character, rest += e.afterAmpersand.size();
          break;
        }
      }
    }
    s += out;
    p = rest;
    known = static_cast<std::size_t>(rest - begin);
  }
  return s;
}

}  // namespace

CutPage cutRecords(std::string_view decodedPage, std::string_view sepStart,
                   std::string_view sepEnd) {
  std::string s = withoutLineBreaks(decodedPage);
  CutPage out;
  std::optional<std::vector<std::size_t>> breaks;
  if (separatorsCutInOnePass(sepStart, sepEnd)) breaks = breaksAtSeparators(s, sepStart, sepEnd);
  if (breaks) {
    out.Memo1.reserve(breaks->size() + 1);
    forEachLine(s, *breaks, [&](std::size_t from, std::size_t to) {
      out.Memo1.emplace_back(std::string_view(s).substr(from, to - from));
    });
  } else {
    if (!sepStart.empty()) text::replaceAllInPlace(s, sepStart, "\r\n" + std::string(sepStart));
    if (!sepEnd.empty()) text::replaceAllInPlace(s, sepEnd, std::string(sepEnd) + "\r\n");
    out.Memo1 = text::splitLines(s);
  }
  for (const auto& line : out.Memo1)
    if (text::find(line, sepStart) == 1) out.Memo2.push_back(line);
  return out;
}

std::vector<std::string> pageRecords(std::string_view page, std::string_view sepStart,
                                     std::string_view sepEnd) {
  std::optional<std::vector<std::size_t>> breaks;
  std::string s;
  if (separatorsCutInOnePass(sepStart, sepEnd)) {
    s = decodedWithoutLineBreaks(page);
    breaks = breaksAtSeparators(s, sepStart, sepEnd);
  }
  if (!breaks) return cutRecords(decodeEntities(page), sepStart, sepEnd).Memo2;
  // A line is a record when it begins with sepStart (its first byte starts a character).
  std::vector<std::string> records;
  const std::string_view text(s);
  forEachLine(text, *breaks, [&](std::size_t from, std::size_t to) {
    const std::string_view line = text.substr(from, to - from);
    if (line.starts_with(sepStart)) records.emplace_back(line);
  });
  return records;
}

}  // namespace zeltaro::spots
