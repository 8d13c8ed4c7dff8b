// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The rig bands of a list: which frequencies a transfer may press the rig key for and which
// spots the patrol lists may walk. A list's band mask has one bit per band (bits 0–13) and bit
// 14 for every frequency outside those bands.

#include <cstdint>
#include <string_view>

namespace zeltaro::hamlog {

struct RigBand {
  double lowMHz, highMHz;  // both inclusive
};

// Bits 0–13 in order: 135 kHz, 1.9, 3.5, 7, 10, 14, 18, 21, 24, 28, 50, 144, 430 MHz, 1.2 GHz.
extern const RigBand kRigBands[14];

inline constexpr std::int32_t kOtherBandsBit = 14;
inline constexpr std::int32_t kAllRigBands = 0x7FFF;

// Whether the frequency text (MHz, its leading number counts) lies outside the bands whose
// bits are set in mask: inside a band whose bit is set, or in no band with bit 14 set, is
// inside; everything else is outside.
bool isOutsideRigBands(std::string_view freqMHz, std::int32_t mask);

}  // namespace zeltaro::hamlog
