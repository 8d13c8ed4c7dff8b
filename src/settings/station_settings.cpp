// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/station_settings.h"

namespace zeltaro::settings {

FirstQsoConditionSet defaultConditionSet(int n) {
  FirstQsoConditionSet set;
  set.Text = std::string(" 1'st(") + static_cast<char>('A' + (n - 1)) + ")";
  return set;
}

std::string settingsPathFor(const std::string& exePath) {
  const std::size_t slash = exePath.rfind('/');
  const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
  const std::size_t dot = exePath.rfind('.');
  // A dot that starts the name (".zeltaro") is part of the name, not an extension.
  if (dot == std::string::npos || dot <= nameStart) return exePath + ".ini";
  return exePath.substr(0, dot) + ".ini";
}

}  // namespace zeltaro::settings
