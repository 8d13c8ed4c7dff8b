// SPDX-License-Identifier: GPL-3.0-or-later
// What a rigctld answers, cut into lines as the client reads them, and the commands a spot's
// texts make: a line is a reply code only when it starts with "RPRT", and every command is one
// line ended by its newline.
#include <cstdlib>
#include <string>

#include "fuzz_input.h"
#include "rig/rigctld_protocol.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zeltaro;
  const std::vector<std::string_view> parts = fuzz::splitInput(data, size, 3);
  std::string_view reply = parts[0];
  while (!reply.empty()) {
    const std::size_t nl = reply.find('\n');
    const std::string_view line = reply.substr(0, nl == std::string_view::npos ? nl : nl + 1);
    reply.remove_prefix(line.size());
    if (rig::parseRprt(line) && line.substr(0, 4) != "RPRT") std::abort();
  }
  for (const std::string& command : rig::rigctldTuneCommands(parts[1], parts[2])) {
    if (command.empty() || command.back() != '\n') std::abort();
    if (command.find_first_of("\r\n") != command.size() - 1) std::abort();
  }
  return 0;
}
