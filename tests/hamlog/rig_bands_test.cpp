// SPDX-License-Identifier: GPL-3.0-or-later
#include "hamlog/rig_bands.h"

#include <gtest/gtest.h>

namespace zeltaro::hamlog {
namespace {

struct Case {
  const char* freq;
  std::int32_t mask;
  bool outside;
};

TEST(RigBands, InsideWhenTheBandBitOrTheOtherBitIsSet) {
  constexpr std::int32_t bit5 = 1 << 5, bit14 = 1 << 14;
  const Case cases[] = {
      {"14.025", bit5, false},
      {"14.025", kAllRigBands & ~bit5, true},
      {"15.5", bit14, false},  // between 14 and 18 MHz: no band of its own
      {"15.5", kAllRigBands & ~bit14, true},
      {"7.010", bit14, true},  // a band of its own, whose bit is clear
      {"5.000", bit14, false},
      {"7.9", 1 << 3, false},  // band edges belong to the band
      {"7.91", 1 << 3, true},
      {"1200", 1 << 13, false},
      {"0.136", 1 << 0, false},
      {"144.500MHz", 1 << 11, false},  // the leading number counts
      {"", bit14, false},              // no number reads as 0, in no band
      {"", 0, true},
      {"50", kAllRigBands, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(isOutsideRigBands(c.freq, c.mask), c.outside) << c.freq << " mask " << c.mask;
  }
}

}  // namespace
}  // namespace zeltaro::hamlog
