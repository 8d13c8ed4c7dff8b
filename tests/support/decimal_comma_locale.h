// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Switches the C library to a locale that writes numbers with a decimal comma for one scope, as
// Qt does at start-up on a German or French desktop, and back afterwards.

#include <clocale>
#include <string>

namespace zeltaro::testing {

class DecimalCommaLocale {
 public:
  DecimalCommaLocale() {
    if (const char* old = std::setlocale(LC_ALL, nullptr)) old_ = old;
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8"}) {
      if (std::setlocale(LC_ALL, name)) {
        active_ = std::localeconv()->decimal_point[0] == ',';
        if (active_) return;
      }
    }
  }
  ~DecimalCommaLocale() { std::setlocale(LC_ALL, old_.c_str()); }
  DecimalCommaLocale(const DecimalCommaLocale&) = delete;
  DecimalCommaLocale& operator=(const DecimalCommaLocale&) = delete;

  // False where no such locale is generated on this machine (CI generates de_DE.UTF-8).
  bool active() const { return active_; }

 private:
  std::string old_ = "C";
  bool active_ = false;
};

}  // namespace zeltaro::testing
