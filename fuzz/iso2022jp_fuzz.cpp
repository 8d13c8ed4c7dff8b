// SPDX-License-Identifier: GPL-3.0-or-later
// The ISO-2022-JP conversion of mail texts: any input gives output within the limit that is
// back in the ASCII state at its end (bytes that are no CP932 character pass unchanged, so an
// input that carries escape sequences of its own is only checked for its length).
#include <cstdlib>
#include <string_view>
#include <utility>

#include "alerts/iso2022jp.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zeltaro::alerts;
  const std::string_view in(reinterpret_cast<const char*>(data), size);
  const std::size_t limit = size == 0 ? 16 : 8 + data[0] % 200;
  for (const auto& [out, cap] :
       {std::pair{toIso2022Jp(in), kIso2022JpLimit}, std::pair{toIso2022Jp(in, limit), limit}}) {
    if (out.size() > cap) std::abort();
    if (in.find('\x1b') != std::string_view::npos) continue;  // escapes of its own pass as they are
    const std::size_t toJis = out.rfind("\x1b$B"), toAscii = out.rfind("\x1b(B");
    if (toJis != std::string::npos && (toAscii == std::string::npos || toAscii < toJis))
      std::abort();
  }
  (void)encodeHeaderWord(in.substr(0, 512));
  (void)base64Limited(in);
  return 0;
}
