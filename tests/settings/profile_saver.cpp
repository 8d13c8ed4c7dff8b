// SPDX-License-Identifier: GPL-3.0-or-later
// Saves a settings file the way the program does (load, write, save), flipping its [Inet] Log
// between 'a' * N and 'b' * N, so that a test can kill it while it saves:
//   profile_saver loop  PATH          save again and again until killed
//   profile_saver once  PATH          one save; exit 0 when it succeeded
//   profile_saver limit PATH BYTES    one save with files capped at BYTES (a full disk)
#include <sys/resource.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "settings/profile_file.h"

namespace {

constexpr std::size_t kLogBytes = 2'000'000;

bool flip(const std::string& path) {
  zeltaro::settings::ProfileFile p(path);
  const std::string log = p.readMultiline("Inet", "Log", "");
  p.writeQuoted("Inet", "Log", std::string(kLogBytes, log.starts_with("a") ? 'b' : 'a'));
  std::string error;
  if (p.save(&error)) return true;
  std::fprintf(stderr, "%s\n", error.c_str());
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  const std::string mode = argv[1];
  const std::string path = argv[2];
  if (mode == "loop") {
    for (;;) flip(path);
  }
  if (mode == "limit" && argc == 4) {
    // Writing past the cap fails with EFBIG instead of raising SIGXFSZ.
    std::signal(SIGXFSZ, SIG_IGN);
    const rlim_t cap = std::strtoull(argv[3], nullptr, 10);
    const rlimit limit{cap, cap};
    if (setrlimit(RLIMIT_FSIZE, &limit) != 0) return 2;
    return flip(path) ? 0 : 1;
  }
  if (mode == "once") return flip(path) ? 0 : 1;
  return 2;
}
