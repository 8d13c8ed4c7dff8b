// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The mode commands of each rig family, as data. "SSB" is the lower sideband below 8 MHz and
// the upper sideband from 8 MHz on, so every row carries both commands (equal for other modes).

#include <span>
#include <string_view>

#include "rig/rig_maker.h"

namespace zeltaro::rig {

struct ModeRow {
  std::string_view text;    // the mode text of the spot, compared exactly
  std::string_view below8;  // the command below 8 MHz
  std::string_view from8;   // the command from 8 MHz on
};

// ICOM: the bytes after the command byte 06 (mode byte, then the filter byte when there is one).
std::span<const ModeRow> icomModes();
// YAESU1 and YAESU2: the five command bytes as ten hexadecimal digits.
std::span<const ModeRow> yaesu1Modes();
std::span<const ModeRow> yaesu2Modes();
// YAESU3 and KENWOOD1: the command text.
std::span<const ModeRow> textModes();

std::span<const ModeRow> modeTable(Maker maker);

// The command of mode at f MHz, or nullptr when the mode is empty or in no row.
const std::string_view* findModeCommand(std::span<const ModeRow> table, std::string_view mode,
                                        double megahertz);

}  // namespace zeltaro::rig
