// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The first-QSO question of a watch list: is the spotted station missing from the operator's
// HAMLOG log under the list's conditions of record range, band, mode and code?

#include <array>
#include <string>
#include <string_view>

#include "settings/station_settings.h"

namespace zeltaro::platform {
class MessageBox;
}

namespace zeltaro::hamlog {

class HamlogDatabase;

// A spot's values as the page processing leaves them in edt_Call, edt_Freq (kHz as the page
// writes it, "," allowed), edt_Code and edt_Mode. CP932.
struct SpotFields {
  std::string_view call, freq, code, mode;
};

// True when list (1 ... 3) takes part and no record of the log qualifies. Every failure
// answers false: another list number, the set off, a mode the set leaves out, a code that is
// not a number in code-only mode, a spot without a call in call-sign mode, the database
// unavailable, too old (with a message in box, when given) or not opened.
bool FirstQsoCheck(HamlogDatabase& db, const std::array<settings::FirstQsoConditionSet, 3>& sets,
                   const settings::SharedFirstSettings& shared, platform::MessageBox* box, int list,
                   const SpotFields& spot);

// The spot's frequency in MHz as the database compares it: "," removed, the leading number
// read (0 when there is none), times 0.001, three decimals. "7,010" gives "7.010".
std::string mhzFromKhz(std::string_view khz);

// The call-sign key: call cut before its first character that is not a half-width letter or
// digit ("JA1ABC/1" gives "JA1ABC").
std::string_view callKey(std::string_view call);

}  // namespace zeltaro::hamlog
