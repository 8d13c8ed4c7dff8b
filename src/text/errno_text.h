// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The English description of an errno value, whatever the desktop's locale. These texts reach
// the Shift-JIS console and standard error beside our own English words: strerror's
// translation would arrive there as UTF-8 bytes of another language.

#include <string.h>

#include <string>

namespace zeltaro::text {

inline std::string errnoText(int err) {
  if (const char* d = ::strerrordesc_np(err)) return d;
  return "error " + std::to_string(err);
}

}  // namespace zeltaro::text
