// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How an ADIF record's fields read as the first-QSO check compares them: its mode as the
// operator and the spot pages write it, and its band as a frequency inside that band.

#include <string>
#include <string_view>

namespace zeltaro::adif {

// MODE with SUBMODE as the operator sees it: FT4 (MFSK/FT4), FT8, SSB for SSB, USB and LSB,
// PSK for every PSK submode, the submode of the other MFSK modes (JS8, Q65, FST4 ...), and
// otherwise MODE itself; upper case.
std::string shownMode(std::string_view mode, std::string_view submode);

// A frequency in MHz inside an ADIF band ("20m" gives "14.000"), for a record that gives its
// BAND but no FREQ; empty for a band the check does not know.
std::string_view bandFrequency(std::string_view band);

}  // namespace zeltaro::adif
