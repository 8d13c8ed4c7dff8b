// SPDX-License-Identifier: GPL-3.0-or-later
// The roadside-station table searched for any code in any content: the look-up never reads
// outside the content, each field it takes stays within its 255 bytes, and a code it does not
// find comes back as the station text with no numeric code.
#include <cstdlib>
#include <string>

#include "fuzz_input.h"
#include "hamlog/michi_table.h"
#include "text/sjis.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zeltaro;
  const std::vector<std::string_view> parts = fuzz::splitInput(data, size, 2);
  // A copy of exactly the content's bytes, so that a read past its end is seen.
  const std::string content(parts[0]);
  const hamlog::MichiEntry e = hamlog::lookUpMichi(content, parts[1]);
  if (e.code.size() > 255 || e.station.size() > 255 + 1 + 255 + parts[1].size()) std::abort();
  const hamlog::MichiEntry none = hamlog::lookUpMichi(std::nullopt, parts[1]);
  if (none.station != text::trim(parts[1]) || !none.code.empty()) std::abort();
  (void)hamlog::isMichiNoEkiCode(parts[1]);
  return 0;
}
