// SPDX-License-Identifier: GPL-3.0-or-later
// The bridge's byte stream as it arrives, in pieces of any size: frames are cut off only whole
// and never beyond the bound, a stream with a longer length fails for good, and every payload
// reads field by field without reading past its end.
#include <cstdlib>
#include <string>

#include "bridge/protocol.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zeltaro::bridge;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  FrameReader reader;
  // The first byte chooses the piece size, so that frames split across reads are covered.
  const std::size_t piece = size == 0 ? 1 : static_cast<std::size_t>(data[0]) % 17 + 1;
  std::size_t taken = 0;
  for (std::size_t at = 0; at < bytes.size(); at += piece) {
    reader.feed(bytes.substr(at, piece));
    while (std::optional<std::string> payload = reader.next()) {
      if (payload->size() > kMaxFrame) std::abort();
      taken += 4 + payload->size();
      if (taken > size) std::abort();
      Reader r(*payload);
      (void)r.u8();
      const Record rec = readRecord(r);
      // A read past the end fails for good and yields zeros.
      if (!r.ok() && rec.number != 0) std::abort();
    }
    if (reader.failed()) break;
  }
  return 0;
}
