// SPDX-License-Identifier: GPL-3.0-or-later
// The template guess on any page and example: whatever it proposes can be typed into the
// separator and template boxes (no line breaks, separators within their 250 bytes, one tag per
// template line) and run through the cutting and the extraction. Input parts: the page, the
// example call, the example frequency.
#include <cstdlib>

#include "fuzz_input.h"
#include "platform/message_pump.h"
#include "spots/extraction.h"
#include "spots/page_text.h"
#include "spots/template_guess.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zeltaro;
  const auto parts = fuzz::splitInput(data, size, 3);
  const spots::TemplateGuess g = spots::guessTemplate(
      parts[0], spots::GuessExample{std::string(parts[1]), std::string(parts[2])});
  const auto typeable = [](const std::string& s) {
    return s.find_first_of("\r\n") == std::string::npos;
  };
  if (g.notes.empty()) std::abort();
  if (!g.found) {
    if (!g.sepStart.empty() || !g.templateLines.empty()) std::abort();
    return 0;
  }
  if (g.sepStart.empty() || g.sepStart.size() > 250 || g.sepEnd.size() > 250) std::abort();
  if (!typeable(g.sepStart) || !typeable(g.sepEnd)) std::abort();
  if (g.templateLines.empty() || g.recordsWithCall > g.records) std::abort();
  for (const std::string& line : g.templateLines) {
    if (!typeable(line)) std::abort();
    const spots::CompiledTemplate one = spots::compileTemplate({line});
    if (one.lines.size() != 1 || one.lines[0].fields.empty()) std::abort();
  }
  const spots::CutPage cut =
      spots::cutRecords(spots::decodeEntities(parts[0]), g.sepStart, g.sepEnd);
  const spots::CompiledTemplate compiled = spots::compileTemplate(g.templateLines);
  platform::NullMessagePump pump;
  std::size_t n = 0;
  for (const std::string& record : cut.Memo2) {
    if (++n > 64) break;
    (void)spots::fillSlots(record, compiled, {}, pump);
  }
  return 0;
}
