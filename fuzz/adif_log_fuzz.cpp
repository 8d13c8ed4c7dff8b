// SPDX-License-Identifier: GPL-3.0-or-later
// An ADIF log of any bytes, read whole and read as a logger writes it (a first part, then the
// rest): the parse never reads outside the bytes, never claims more than it was given, keeps
// every value within the longest a field may be, and the two ways give the same records.
#include <cstdlib>
#include <string>

#include "adif/adif_format.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zeltaro::adif;
  const std::vector<std::string_view> parts = zeltaro::fuzz::splitInput(data, size, 2);
  // Copies of exactly the bytes, so that a read past their end is seen.
  const std::string first(parts[0]);
  const std::string whole = first + std::string(parts[1]);
  const std::optional<FileShape> shape = shapeOf(whole);
  if (!shape) return 0;
  if (shape->bodyStart > whole.size()) std::abort();
  const Parsed all = parse(whole, shape->bodyStart, shape->form, "CNTY");
  if (all.consumed > whole.size() || all.consumed < shape->bodyStart) std::abort();
  for (const RawRecord& r : all.records)
    for (const std::string* v :
         {&r.call, &r.freq, &r.band, &r.mode, &r.submode, &r.code, &r.comment, &r.notes})
      if (v->size() > kMaxFieldLength) std::abort();

  // As a logger appends: the first part alone, then the rest from where that parse stopped.
  if (shape->bodyStart > first.size() || shape->form != Form::Adi) return 0;
  const Parsed head = parse(first, shape->bodyStart, shape->form, "CNTY");
  if (head.consumed > first.size()) std::abort();
  const std::string rest = whole.substr(head.consumed);
  const Parsed tail = parse(rest, 0, shape->form, "CNTY");
  std::vector<RawRecord> joined = head.records;
  joined.insert(joined.end(), tail.records.begin(), tail.records.end());
  if (joined != all.records || head.consumed + tail.consumed != all.consumed) std::abort();
  return 0;
}
