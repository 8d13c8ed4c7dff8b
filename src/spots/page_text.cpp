#include "spots/page_text.h"

#include <algorithm>
#include <cstring>

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

CutPage cutRecords(std::string_view decodedPage, std::string_view sepStart,
                   std::string_view sepEnd) {
  std::string s = withoutLineBreaks(decodedPage);
  if (!sepStart.empty()) text::replaceAllInPlace(s, sepStart, "\r\n" + std::string(sepStart));
  if (!sepEnd.empty()) text::replaceAllInPlace(s, sepEnd, std::string(sepEnd) + "\r\n");

  CutPage out;
  out.Memo1 = text::splitLines(s);
  for (const auto& line : out.Memo1)
    if (text::find(line, sepStart) == 1) out.Memo2.push_back(line);
  return out;
}

}  // namespace zeltaro::spots
