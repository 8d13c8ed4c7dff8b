// SPDX-License-Identifier: GPL-3.0-or-later
#include "hamlog/rig_bands.h"

#include "hamlog/number_text.h"

namespace zeltaro::hamlog {

const RigBand kRigBands[14] = {
    {0.1, 0.2}, {1.7, 2}, {3, 4},   {7, 7.9}, {10, 11},   {14, 15},   {18, 20},
    {21, 22},   {24, 25}, {28, 30}, {50, 60}, {144, 150}, {430, 450}, {1200, 1400},
};

bool isOutsideRigBands(std::string_view freqMHz, std::int32_t mask) {
  const double f = readLeadingDecimal(freqMHz);
  for (int bit = 0; bit < 14; ++bit) {
    if (f >= kRigBands[bit].lowMHz && f <= kRigBands[bit].highMHz) return (mask & (1 << bit)) == 0;
  }
  return (mask & (1 << kOtherBandsBit)) == 0;
}

}  // namespace zeltaro::hamlog
