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

// The text without its CR and LF bytes.
std::string withoutLineBreaks(std::string_view page) {
  std::string s;
  s.reserve(page.size());
  const char* p = page.data();
  const char* const end = p + page.size();
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
  return s;
}

}  // namespace

namespace {

bool holdsLineBreak(std::string_view s) {
  return s.find_first_of("\r\n") != std::string_view::npos;
}

// The lines that inserting line breaks before every sepStart and after every sepEnd would make,
// cut straight out of s. Both passes see the same text then (the breaks are whole characters
// and the separators hold none), unless an end separator straddles the start of a start
// separator: the second pass would not find it after the first pass's break, so nullopt.
std::optional<std::vector<std::string>> cutAtSeparators(std::string_view s,
                                                        std::string_view sepStart,
                                                        std::string_view sepEnd) {
  std::vector<std::size_t> starts, breaks;
  text::forEachOccurrence(s, sepStart, [&](std::size_t p) { starts.push_back(p); });
  std::size_t next = 0;  // the first start not before the end separator in hand
  bool straddles = false;
  text::forEachOccurrence(s, sepEnd, [&](std::size_t p) {
    while (next < starts.size() && starts[next] <= p) ++next;
    if (next < starts.size() && starts[next] < p + sepEnd.size()) straddles = true;
    breaks.push_back(p + sepEnd.size());
  });
  if (straddles) return std::nullopt;
  breaks.insert(breaks.end(), starts.begin(), starts.end());
  std::sort(breaks.begin(), breaks.end());

  std::vector<std::string> lines;
  lines.reserve(breaks.size() + 1);
  std::size_t from = 0;
  for (std::size_t b : breaks) {
    lines.emplace_back(s.substr(from, b - from));
    from = b;
  }
  if (from < s.size()) lines.emplace_back(s.substr(from));  // no line after a final break
  return lines;
}

}  // namespace

CutPage cutRecords(std::string_view decodedPage, std::string_view sepStart,
                   std::string_view sepEnd) {
  std::string s = withoutLineBreaks(decodedPage);
  CutPage out;
  std::optional<std::vector<std::string>> lines;
  if (!sepStart.empty() && !sepEnd.empty() && !holdsLineBreak(sepStart) &&
      !holdsLineBreak(sepEnd)) {
    lines = cutAtSeparators(s, sepStart, sepEnd);
  }
  if (lines) {
    out.Memo1 = std::move(*lines);
  } else {
    if (!sepStart.empty()) text::replaceAllInPlace(s, sepStart, "\r\n" + std::string(sepStart));
    if (!sepEnd.empty()) text::replaceAllInPlace(s, sepEnd, std::string(sepEnd) + "\r\n");
    out.Memo1 = text::splitLines(s);
  }
  for (const auto& line : out.Memo1)
    if (text::find(line, sepStart) == 1) out.Memo2.push_back(line);
  return out;
}

}  // namespace zeltaro::spots
