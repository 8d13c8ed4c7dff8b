// SPDX-License-Identifier: GPL-3.0-or-later
// A Windows shortcut from any bytes: reading it never goes outside the file, and a target it
// names is a non-empty path without NUL bytes that starts with a drive ("C:") or is a base
// path the file itself holds.
#include <cstdlib>
#include <string>

#include "settings_dialog/shell_link.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const std::optional<std::string> target = zeltaro::settingsdialog::shellLinkTarget(bytes);
  if (!target) return 0;
  if (target->empty() || target->find('\0') != std::string::npos) std::abort();
  return 0;
}
