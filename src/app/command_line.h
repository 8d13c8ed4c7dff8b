// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's command line: the name of its single-instance lock and the console options.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zeltaro::app {

// "kobunaTarvoZELTARO" + the executable's full path with every "\", then every ":", then
// every "." replaced by "_" (case kept). Copies in different folders get different names.
std::string instanceLockName(std::string_view executablePath);

struct CommandLine {
  std::uint16_t port = 0;    // console port; 0 = console off
  std::string password;      // console password; empty = none asked
  bool utf8Console = false;  // the console speaks UTF-8 instead of Shift-JIS
  // The web console for this run: kWebAsSet leaves it to the settings, 0 turns it off,
  // kWebOn turns it on at the settings' port, anything else turns it on at that port.
  static constexpr int kWebAsSet = -1;
  static constexpr int kWebOn = -2;
  int web = kWebAsSet;
};

// args: the whole command line, program path first (CP932 bytes). Keys "/telnet=on",
// "/telnet=off", "/telnet=<n>" and "/pass=<text>" are case-insensitive and may carry blanks
// around them; a later argument overrides an earlier one; anything else is ignored.
// "/charset=utf-8" (or "utf8") makes the console speak UTF-8, any other "/charset=" value
// keeps it at Shift-JIS. "/web=<n>" runs the web console on port n for this run, "/web=on" on
// the settings' port, "/web=off" not at all.
CommandLine parseCommandLine(const std::vector<std::string>& args);

// What the command line asks of the program before anything starts: --help or -h, --version,
// or an unknown "--" option. Qt's own options, with one dash or two, are left to Qt; the "/"
// switches and every other argument are the program's to start with.
struct ImmediateAnswer {
  int exitCode = 0;       // 0 for help and version, 2 for an unknown option
  std::string text;       // what to print, line breaks included
  bool toStderr = false;  // an unknown option is an error
};
std::optional<ImmediateAnswer> immediateAnswer(const std::vector<std::string>& args);

}  // namespace zeltaro::app
