// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Call signs for the generated QSO logs of the benchmarks.

#include <string>

namespace zeltaro::bench {

// 26^3 suffixes over ten call areas and two prefixes: about 13,000 different stations.
inline std::string logCallSign(int i) {
  const int s = i % 13'000;
  std::string call = (s % 2) ? "JA" : "JH";
  call += static_cast<char>('0' + (s / 2) % 10);
  int rest = s / 20;
  for (int k = 0; k < 3; ++k, rest /= 26) call += static_cast<char>('A' + rest % 26);
  return call;
}

}  // namespace zeltaro::bench
