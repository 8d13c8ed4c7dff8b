// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The process's peak resident memory (VmHWM), and a way to start measuring it afresh, so that a
// test can say how much one step needed at most.

#include <fstream>
#include <string>

namespace zeltaro::testing {

// Linux resets the peak to the current size on writing "5" to clear_refs.
inline void resetPeakMemory() { std::ofstream("/proc/self/clear_refs") << "5"; }

inline long peakMemoryKiB() {
  std::ifstream status("/proc/self/status");
  std::string key;
  while (status >> key) {
    if (key == "VmHWM:") {
      long kib = 0;
      status >> kib;
      return kib;
    }
    status.ignore(1 << 16, '\n');
  }
  return -1;
}

}  // namespace zeltaro::testing
