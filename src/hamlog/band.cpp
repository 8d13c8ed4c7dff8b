// SPDX-License-Identifier: GPL-3.0-or-later
#include "hamlog/band.h"

#include <cstddef>

#include "hamlog/number_text.h"

namespace zeltaro::hamlog {

// Wide enough to hold every country's allocation of the band, narrow enough that neighbours
// never meet. A spot's kilohertz reach the check rounded to three decimals of a megahertz, so
// the top of 135 kHz (137.8 kHz) arrives as 0.138: the edge lies above that.
const BandEdges kBands[19] = {
    {0.1357, 0.1385, "135k"},  {0.472, 0.479, "475k"},    {1.8, 2.0, "1.9M"},
    {3.5, 4.0, "3.5M"},        {5.25, 5.45, "5M"},        {7.0, 7.3, "7M"},
    {10.1, 10.15, "10M"},      {14.0, 14.35, "14M"},      {18.068, 18.168, "18M"},
    {21.0, 21.45, "21M"},      {24.89, 24.99, "24M"},     {28.0, 29.7, "28M"},
    {50.0, 54.0, "50M"},       {144.0, 148.0, "144M"},    {430.0, 440.0, "430M"},
    {1240.0, 1300.0, "1200M"}, {2300.0, 2450.0, "2400M"}, {5650.0, 5850.0, "5600M"},
    {10000.0, 10500.0, "10G"},
};

int bandClassOf(std::string_view freqMHz) {
  double mhz = readLeadingDecimal(freqMHz);
  const std::size_t g = freqMHz.find_first_of("Gg");
  if (g != std::string_view::npos) mhz *= 1000;
  for (int i = 0; i < 19; ++i)
    if (mhz >= kBands[i].lowMHz && mhz <= kBands[i].highMHz) return i + 1;
  return 0;
}

}  // namespace zeltaro::hamlog
