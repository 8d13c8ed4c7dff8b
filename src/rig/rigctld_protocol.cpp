// SPDX-License-Identifier: GPL-3.0-or-later
#include "rig/rigctld_protocol.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <utility>

#include "rig/rig_maker.h"

namespace zeltaro::rig {

namespace {

// Mode texts with a fixed Hamlib mode; "SSB" and its variants depend on the band.
constexpr std::array<std::pair<std::string_view, std::string_view>, 47> kModes{{
    {"LSB", "LSB"},      {"USB", "USB"},      {"CW", "CW"},       {"CWR", "CWR"},
    {"AM", "AM"},        {"FM", "FM"},        {"WFM", "WFM"},     {"RTTY", "RTTY"},
    {"RTTYR", "RTTYR"},  {"FSK", "RTTY"},     {"FSKR", "RTTYR"},  {"LSB0", "LSB"},
    {"LSB1", "LSB"},     {"LSB2", "LSB"},     {"USB0", "USB"},    {"USB1", "USB"},
    {"USB2", "USB"},     {"AM0", "AM"},       {"AM1", "AM"},      {"AM2", "AM"},
    {"CW0", "CW"},       {"CW1", "CW"},       {"CW2", "CW"},      {"RTY0", "RTTY"},
    {"RTY1", "RTTY"},    {"RTY2", "RTTY"},    {"FM0", "FM"},      {"FM1", "FM"},
    {"FM2", "FM"},       {"CWW", "CW"},       {"CWN", "CW"},      {"AMW", "AM"},
    {"AMN", "AM"},       {"FMW", "FM"},       {"FMN", "FM"},      {"RTTY-L", "RTTY"},
    {"RTTY-U", "RTTYR"}, {"PKT-L", "PKTLSB"}, {"PKT-F", "PKTFM"}, {"PKT", "PKTUSB"},
    {"DIG", "PKTUSB"},   {"DATA", "PKTUSB"},  {"PSK", "PKTUSB"},  {"PSKR", "PKTLSB"},
    {"FT8", "PKTUSB"},   {"FT4", "PKTUSB"},   {"JT65", "PKTUSB"},
}};

constexpr std::array<std::string_view, 5> kSideband{"SSB", "SSB0", "SSB1", "SSB2", "SSTV"};

}  // namespace

std::string_view hamlibModeName(std::string_view modeText, double megahertz) {
  for (const std::string_view s : kSideband)
    if (modeText == s) return megahertz < 8 ? "LSB" : "USB";
  for (const auto& [text, name] : kModes)
    if (modeText == text) return name;
  return {};
}

std::vector<std::string> rigctldTuneCommands(std::string_view frequencyText,
                                             std::string_view modeText) {
  std::vector<std::string> lines;
  const double f = readMegahertz(frequencyText);
  const std::string_view mode = hamlibModeName(modeText, f);
  if (!mode.empty()) lines.push_back("M " + std::string(mode) + " 0\n");
  const double hz = std::floor(f * 1000000 + 0.001);
  if (hz > 0 && hz < 1e15) {
    char buf[32];
    const auto r = std::to_chars(buf, buf + sizeof buf, hz, std::chars_format::fixed, 0);
    lines.push_back("F " + std::string(buf, r.ptr) + "\n");
  }
  return lines;
}

std::optional<int> parseRprt(std::string_view line) {
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r' || line.back() == ' '))
    line.remove_suffix(1);
  constexpr std::string_view kHead = "RPRT ";
  if (!line.starts_with(kHead)) return std::nullopt;
  line.remove_prefix(kHead.size());
  int code = 0;
  const auto [end, ec] = std::from_chars(line.data(), line.data() + line.size(), code);
  if (ec != std::errc{} || end != line.data() + line.size()) return std::nullopt;
  return code;
}

}  // namespace zeltaro::rig
