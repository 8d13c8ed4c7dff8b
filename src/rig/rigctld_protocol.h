// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The few lines of Hamlib's rigctld protocol a tune needs, as pure functions: the commands
// that set mode and frequency, and the "RPRT n" reply that ends each of them.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zeltaro::rig {

// Hamlib's name for a spot's mode text at f MHz ("SSB" is LSB below 8 MHz, USB from 8 MHz on;
// the filter and width variants of the serial families give their base mode; data modes give
// PKTUSB). Empty when the mode is empty or unknown: the rig keeps its mode.
std::string_view hamlibModeName(std::string_view modeText, double megahertz);

// The command lines of one tune, in order: "M <mode> 0\n" when the mode maps (passband 0: the
// rig's normal width for the mode), then "F <hertz>\n" when the frequency is above 0.
std::vector<std::string> rigctldTuneCommands(std::string_view frequencyText,
                                             std::string_view modeText);

// The code of a reply line "RPRT n" (0 is success, negative a Hamlib error), or nullopt when
// the line is not such a reply.
std::optional<int> parseRprt(std::string_view line);

}  // namespace zeltaro::rig
