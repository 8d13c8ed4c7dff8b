// SPDX-License-Identifier: GPL-3.0-or-later
#include "adif/adif_fields.h"

#include <array>
#include <utility>

namespace zeltaro::adif {

namespace {

std::string upperTrimmed(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  std::string out(s);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return out;
}

// MODE (and, where it matters, SUBMODE) to the mode the operator sees. An empty submode in a
// row matches any submode; "*" as the shown mode stands for the record's submode.
struct ModeRow {
  std::string_view mode, submode, shown;
};
constexpr std::array<ModeRow, 7> kModes{{
    {"SSB", "", "SSB"},
    {"USB", "", "SSB"},
    {"LSB", "", "SSB"},
    {"PSK", "", "PSK"},
    {"MFSK", "FT4", "FT4"},
    {"MFSK", "", "*"},
    {"DIGITALVOICE", "", "*"},
}};

// ADIF's band names and a frequency inside each band the check tells apart.
constexpr std::array<std::pair<std::string_view, std::string_view>, 19> kBandFrequencies{{
    {"2190M", "0.136"},   {"630M", "0.475"},   {"160M", "1.900"},    {"80M", "3.500"},
    {"60M", "5.300"},     {"40M", "7.000"},    {"30M", "10.100"},    {"20M", "14.000"},
    {"17M", "18.100"},    {"15M", "21.000"},   {"12M", "24.900"},    {"10M", "28.000"},
    {"6M", "50.000"},     {"2M", "144.000"},   {"70CM", "430.000"},  {"23CM", "1296.000"},
    {"13CM", "2400.000"}, {"6CM", "5700.000"}, {"3CM", "10200.000"},
}};

}  // namespace

std::string shownMode(std::string_view mode, std::string_view submode) {
  const std::string m = upperTrimmed(mode), sub = upperTrimmed(submode);
  for (const ModeRow& row : kModes) {
    if (m != row.mode || (!row.submode.empty() && sub != row.submode)) continue;
    if (row.shown != "*") return std::string(row.shown);
    return sub.empty() ? m : sub;
  }
  return m;
}

std::string_view bandFrequency(std::string_view band) {
  const std::string b = upperTrimmed(band);
  for (const auto& [name, mhz] : kBandFrequencies)
    if (b == name) return mhz;
  return {};
}

}  // namespace zeltaro::adif
