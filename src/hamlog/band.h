// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Band classes of frequencies, for the "same band" condition of the first-QSO check.

#include <string_view>

namespace zeltaro::hamlog {

// The amateur band a frequency text in MHz falls in ("7.010", "14", "1296.1"; a trailing "G"
// means GHz, as in "10.24G"): 1 for 135 kHz, 2 for 475 kHz, 3 for 1.9 MHz ... 19 for 10 GHz,
// in the order of kBands; 0 for every other frequency and for an unreadable text.
int bandClassOf(std::string_view freqMHz);

struct BandEdges {
  double lowMHz, highMHz;  // both inclusive
  std::string_view name;
};

// The bands in class order, class = position + 1.
extern const BandEdges kBands[19];

}  // namespace zeltaro::hamlog
