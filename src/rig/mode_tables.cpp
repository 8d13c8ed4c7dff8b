// SPDX-License-Identifier: GPL-3.0-or-later
#include "rig/mode_tables.h"

#include <array>

namespace zeltaro::rig {

using namespace std::string_view_literals;

namespace {

// Equal command on every band.
constexpr ModeRow row(std::string_view text, std::string_view command) {
  return {text, command, command};
}

constexpr std::array kIcom{
    row("LSB", "\x00"sv),
    row("USB", "\x01"sv),
    row("AM", "\x02"sv),
    row("CW", "\x03"sv),
    row("RTTY", "\x04"sv),
    row("FM", "\x05"sv),
    row("WFM", "\x06"sv),
    row("PSK", "\x12"sv),
    row("PSKR", "\x13"sv),
    ModeRow{"SSB", "\x00"sv, "\x01"sv},
    row("LSB0", "\x00\x00"sv),
    row("LSB1", "\x00\x01"sv),
    row("LSB2", "\x00\x02"sv),
    row("USB0", "\x01\x00"sv),
    row("USB1", "\x01\x01"sv),
    row("USB2", "\x01\x02"sv),
    row("AM0", "\x02\x00"sv),
    row("AM1", "\x02\x01"sv),
    row("AM2", "\x02\x02"sv),
    row("CW0", "\x03\x00"sv),
    row("CW1", "\x03\x01"sv),
    row("CW2", "\x03\x02"sv),
    row("RTY0", "\x04\x00"sv),
    row("RTY1", "\x04\x01"sv),
    row("RTY2", "\x04\x02"sv),
    row("FM0", "\x05\x00"sv),
    row("FM1", "\x05\x01"sv),
    row("FM2", "\x05\x02"sv),
    ModeRow{"SSB0", "\x00\x00"sv, "\x01\x00"sv},
    ModeRow{"SSB1", "\x00\x01"sv, "\x01\x01"sv},
    ModeRow{"SSB2", "\x00\x02"sv, "\x01\x02"sv},
};

constexpr std::array kYaesu1{
    row("LSB", "0000000007"), row("USB", "0100000007"), row("CW", "0200000207"),
    row("CWR", "0300000007"), row("AM", "0400000407"),  row("FM", "0800000707"),
    row("DIG", "0A00000007"), row("PKT", "0C00000007"), ModeRow{"SSB", "0000000007", "0100000007"},
};

constexpr std::array kYaesu2{
    row("LSB", "000000000c"),
    row("USB", "000000010c"),
    row("CWW", "000000020c"),
    row("CWN", "000000030c"),
    row("AMW", "000000040c"),
    row("AMN", "000000050c"),
    row("FMW", "000000060c"),
    row("FMN", "000000070c"),
    ModeRow{"SSB", "000000000c", "000000010c"},
    row("CW", "000000020c"),
    row("AM", "000000040c"),
    row("FM", "000000070c"),
    row("RTTY-L", "000000080c"),
    row("RTTY-U", "000000090c"),
    row("PKT-L", "0000000a0c"),
    row("PKT-F", "0000000b0c"),
};

constexpr std::array kText{
    row("LSB", "MD1;"),  row("USB", "MD2;"),
    row("CW", "MD3;"),   row("FM", "MD4;"),
    row("AM", "MD5;"),   row("FSK", "MD6;"),
    row("RTTY", "MD6;"), row("CWR", "MD7;"),
    row("FSKR", "MD9;"), ModeRow{"SSB", "MD1;", "MD2;"},
};

}  // namespace

std::span<const ModeRow> icomModes() { return kIcom; }
std::span<const ModeRow> yaesu1Modes() { return kYaesu1; }
std::span<const ModeRow> yaesu2Modes() { return kYaesu2; }
std::span<const ModeRow> textModes() { return kText; }

std::span<const ModeRow> modeTable(Maker maker) {
  switch (maker) {
    case Maker::Icom:
      return icomModes();
    case Maker::Yaesu1:
      return yaesu1Modes();
    case Maker::Yaesu2:
      return yaesu2Modes();
    case Maker::Yaesu3:
    case Maker::Kenwood1:
      return textModes();
    case Maker::Rigctld:
      break;
  }
  return {};
}

const std::string_view* findModeCommand(std::span<const ModeRow> table, std::string_view mode,
                                        double megahertz) {
  if (mode.empty()) return nullptr;
  for (const ModeRow& r : table)
    if (r.text == mode) return megahertz < 8 ? &r.below8 : &r.from8;
  return nullptr;
}

}  // namespace zeltaro::rig
