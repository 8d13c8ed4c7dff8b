// SPDX-License-Identifier: GPL-3.0-or-later
// The console's receive rule and its command set: input bytes arrive in chunks at a session
// that asks for a password, then run as commands on a main window model with no services (no
// network, no settings file).
#include "app/console_binding.h"
#include "app/main_model.h"
#include "console/command_set.h"
#include "console/console_session.h"
#include "fuzz_input.h"

namespace {

struct NullConnection final : zeltaro::console::Connection {
  void send(std::string_view bytes) override { sent += bytes.size(); }
  void close() override { closed = true; }
  std::size_t sent = 0;
  bool closed = false;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zeltaro;
  if (size > 4096) return 0;  // a session's worth; longer inputs only repeat the same paths
  app::MainModel model;
  app::ConsoleBinding binding(model);
  console::CommandSet commands(binding);
  console::ConsoleSession session;
  session.setPassword("pw");
  // The first byte's top bit switches the console to UTF-8.
  session.setUtf8(size > 0 && (data[0] & 0x80) != 0);
  session.setExecutor(&commands);
  NullConnection conn;
  session.accept(conn);
  // The first byte picks the chunk size, so that lines and escapes split anywhere.
  const std::size_t chunk = size == 0 ? 1 : 1 + data[0] % 17;
  std::string_view rest(reinterpret_cast<const char*>(data), size);
  session.receive("pw\r\n");
  while (!rest.empty() && session.hasSession()) {
    session.receive(rest.substr(0, chunk));
    rest.remove_prefix(std::min(chunk, rest.size()));
  }
  return 0;
}
