// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// From a fetched page to its spot records: entity decoding, line-break removal and cutting at
// the separator words.

#include <string>
#include <string_view>
#include <vector>

namespace zeltaro::spots {

// The five entity passes, in this order: &quot; &amp; &lt; &gt; &nbsp; (case-sensitive). As
// &amp; runs before &lt;, "&amp;lt;" ends as "<".
std::string decodeEntities(std::string_view page);

struct CutPage {
  std::vector<std::string> Memo1;  // the page's lines after the separators became line breaks
  std::vector<std::string> Memo2;  // the records: the lines of Memo1 that begin with sepStart
};

// Removes every CR and LF, breaks the text before each sepStart and after each sepEnd, and keeps
// the lines that begin with sepStart. An empty sepStart gives no records; an empty sepEnd cuts
// at the start separators only.
CutPage cutRecords(std::string_view decodedPage, std::string_view sepStart,
                   std::string_view sepEnd);

// What a page check needs of a fetched page: cutRecords(decodeEntities(page), ...).Memo2, the
// same records, made in one pass over the page and without the lines that are no records.
std::vector<std::string> pageRecords(std::string_view page, std::string_view sepStart,
                                     std::string_view sepEnd);

}  // namespace zeltaro::spots
