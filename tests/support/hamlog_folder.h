// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A folder that the settings dialog accepts as a HAMLOG folder: the files it looks for, empty.

#include <string>

#include "support/temp_dir.h"

namespace zeltaro::testing {

// withMst false leaves out Hamlog.Mst, the file whose absence the dialog names. The names'
// case differs from the dialog's on purpose: Windows folders are matched without case.
inline void hamlogFolder(const std::string& dir, bool withMst = true) {
  touch(dir + "/HAMLOG.HDB");
  if (withMst) touch(dir + "/Hamlog.Mst");
  touch(dir + "/hamlog50.DLL");
  touch(dir + "/Hamlogw.exe");
}

}  // namespace zeltaro::testing
