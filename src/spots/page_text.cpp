#include "spots/page_text.h"

#include "text/sjis.h"

namespace zeltaro::spots {

std::string decodeEntities(std::string_view page) {
  std::string s = text::replaceAll(page, "&quot;", "\"");
  s = text::replaceAll(s, "&amp;", "&");
  s = text::replaceAll(s, "&lt;", "<");
  s = text::replaceAll(s, "&gt;", ">");
  return text::replaceAll(s, "&nbsp;", " ");
}

CutPage cutRecords(std::string_view decodedPage, std::string_view sepStart,
                   std::string_view sepEnd) {
  std::string s;
  s.reserve(decodedPage.size());
  for (char c : decodedPage)
    if (c != '\r' && c != '\n') s += c;
  if (!sepStart.empty()) s = text::replaceAll(s, sepStart, "\r\n" + std::string(sepStart));
  if (!sepEnd.empty()) s = text::replaceAll(s, sepEnd, std::string(sepEnd) + "\r\n");

  CutPage out;
  out.Memo1 = text::splitLines(s);
  for (const auto& line : out.Memo1)
    if (text::find(line, sepStart) == 1) out.Memo2.push_back(line);
  return out;
}

}  // namespace zeltaro::spots
