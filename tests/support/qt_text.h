// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Widget texts written in UTF-8 in the tests, as the program's own sources write them.

#include <QString>

namespace zeltaro::testing {

inline QString u(const char* utf8) { return QString::fromUtf8(utf8); }

}  // namespace zeltaro::testing
