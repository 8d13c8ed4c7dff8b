// SPDX-License-Identifier: GPL-3.0-or-later
// zeltaro-bridge.exe: runs inside the operator's Wine prefix beside HAMLOG and does there what a
// Linux process cannot: window messages to HAMLOG and the companion, and calls into HAMLOG's
// library. Frames arrive on standard input and replies leave on standard output (protocol.h).

#include <windows.h>

#include "operations.h"
#include "win32_operations.h"

namespace {

bool writeAll(HANDLE out, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    DWORD n = 0;
    if (!WriteFile(out, bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &n,
                   nullptr) ||
        n == 0)
      return false;
    done += n;
  }
  return true;
}

}  // namespace

int main() {
  using namespace zeltaro::bridge;
  HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
  HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  Win32Operations ops;
  if (!writeAll(out, std::string(kReadyLine))) return 1;
  FrameReader frames;
  char buffer[65536];
  for (;;) {
    DWORD n = 0;
    if (!ReadFile(in, buffer, sizeof buffer, &n, nullptr) || n == 0) return 0;
    frames.feed(std::string_view(buffer, n));
    while (auto request = frames.next()) {
      bool exit = false;
      if (!writeAll(out, frame(dispatch(*request, ops, exit)))) return 1;
      if (exit) return 0;
    }
    if (frames.failed()) return 1;
  }
}
