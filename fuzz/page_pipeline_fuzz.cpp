// SPDX-License-Identifier: GPL-3.0-or-later
// A spot page through the whole pipeline: entities decoded, records cut, the default template
// filling the slots, a Body composing the texts, a watch list matching them, and the log's
// novelty look-up. Input parts: the page, the watch list, the Body (default when empty), the
// template (default when empty).
#include <cstdlib>

#include "fuzz_input.h"
#include "platform/message_pump.h"
#include "spots/composition.h"
#include "spots/extraction.h"
#include "spots/new_lines.h"
#include "spots/page_text.h"
#include "text/sjis.h"
#include "watchlists/watch_list.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zeltaro;
  const auto parts = fuzz::splitInput(data, size, 4);
  platform::NullMessagePump pump;
  const std::string body = parts[2].empty() ? spots::kDefaultBody : std::string(parts[2]);
  const std::vector<std::string> templ =
      parts[3].empty() ? spots::defaultExtractionTemplate() : text::splitLines(parts[3]);

  const spots::CutPage cut =
      spots::cutRecords(spots::decodeEntities(parts[0]), "<LineStart>", "</LineEnd>");
  std::vector<std::string> log = {"1___old"};
  spots::NewLines fresh(log);
  std::size_t n = 0;
  for (const std::string& record : cut.Memo2) {
    if (++n > 64) break;
    const spots::ExtractionSlots slots = spots::fillSlots(record, templ, {}, pump);
    const spots::Composition c = spots::compose(body, slots, pump);
    if (!c.searchable) continue;
    if (!watchlists::listMatches(parts[1], c.search, pump)) continue;
    const std::string display = spots::logSafe(c.display);
    if (display.find_first_of(std::string_view("\0\r\n", 3)) != std::string::npos) std::abort();
    if (!fresh.isOld(display)) fresh.add("1___", display);
  }
  const std::size_t added = fresh.size();
  fresh.moveInFrontOf(log);
  if (log.size() != added + 1 || log.back() != "1___old") std::abort();
  return 0;
}
