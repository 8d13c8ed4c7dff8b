// SPDX-License-Identifier: GPL-3.0-or-later
// The settings file parser and the escapings of its multi-line values (the log as the program
// keeps it comes back line for line). Input parts: the file's
// bytes, a text for the escapings, a section, a key.
#include <cstdlib>

#include "fuzz_input.h"
#include "settings/escaping.h"
#include "settings/profile_file.h"
#include "spots/new_lines.h"
#include "text/sjis.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zeltaro;
  using settings::ProfileFile;
  const auto parts = fuzz::splitInput(data, size, 4);
  const std::string_view text = parts[1], section = parts[2], key = parts[3];

  ProfileFile f = ProfileFile::fromBytes("zeltaro.ini", parts[0]);
  (void)f.readString(section, key, "x");
  (void)f.readInt(section, key, 7);
  (void)f.readBool(section, key, true);
  (void)settings::parseProfileInt(text);
  // A value written comes back as written, unless it was cut and reported as such. The
  // program's own section and key names are printable ASCII.
  const auto plain = [](std::string_view s, std::string_view banned) {
    if (s.empty() || s.front() == ' ' || s.back() == ' ') return false;
    for (char c : s)
      if (c < 0x20 || c > 0x7E || banned.find(c) != std::string_view::npos) return false;
    return true;
  };
  const bool plainName = plain(section, "[]") && plain(key, "=;[");
  if (plainName) {
    const std::string stored = settings::escapeLog(text);
    f.writeQuoted(section, key, stored);
    const ProfileFile again = ProfileFile::fromBytes("zeltaro.ini", f.content());
    if (f.cutValues().empty() && again.readMultiline(section, key, "") != stored) std::abort();
  }
  // A log as the program keeps it (lines made safe, joined by line breaks) comes back whole.
  std::string log;
  for (const std::string& line : text::splitLines(text)) {
    if (!log.empty()) log += "\r\n";
    log += spots::logSafe(line);
  }
  if (settings::unescapeLog(settings::escapeLog(log)) != log) std::abort();
  (void)settings::unescapeTemplate(settings::escapeTemplate(text));
  (void)settings::unescapeList(settings::escapeList(text));
  if (text.size() <= 57 && text.find_first_of(std::string_view("\0", 1)) == std::string::npos) {
    const std::string pw = settings::decodePassword(settings::encodePassword(text));
    (void)pw;
  }
  (void)settings::decodePassword(text);
  return 0;
}
