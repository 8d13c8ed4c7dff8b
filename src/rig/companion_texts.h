// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the companion program receives, as pure functions: the datagram of a command text and
// the commands that forward a transferred spot.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "settings/station_settings.h"

namespace zeltaro::rig {

// The PORT setting as a UDP port: its leading decimal digits; 0 (send nothing) when it has
// none, reads as 0 or does not fit a port number.
std::uint16_t companionPort(std::string_view portText);

// The datagram of a command text: its bytes and one NUL. Nothing for texts of 255 bytes or
// more.
std::optional<std::string> companionDatagram(std::string_view text);

// The spot fields as the transfer cut them from the log line, trimmed; empty when the column
// is not valid.
struct SpotForCompanion {
  std::string call, code, qth;
  std::string flags;           // the line's list flags: "1" or "_", "2" or "_", "3" or "_"
  std::string lastRemarkText;  // "RMK1 ..." or "RMK2 ...", empty before any comment was sent
};

// The numeric code that watch list n's Michi-no-eki table gives a station code (nullopt when
// the table does not know it).
using MichiNoEkiLookup = std::function<std::optional<std::string>(int list, std::string_view)>;

// The command texts forwarding spot, in the order they are sent: QTH, code, call (each when its
// option is on), then the last remark when any of the three is on.
std::vector<std::string> forwardSpotTexts(const SpotForCompanion& spot,
                                          const settings::TarvopcSettings& options,
                                          const MichiNoEkiLookup& lookup);

// True when code names a Michi-no-eki station ("都-", "道-", "府-", "県-" and the three longer
// prefecture names followed by "-").
bool isMichiNoEkiCode(std::string_view code);

// The QTH as HAMLOG takes it: empty when it starts with an ASCII letter or digit or holds none
// of "都", "道", "府", "県", "市".
std::string filterQth(std::string_view qth);

}  // namespace zeltaro::rig

namespace zeltaro::rig {

// True for the companion's main window title: it begins with "Tarvopc " and holds one of
// "- OPERATE", "- CONFIG", "- VOICE CQ", "- LOAD", "- SAVE".
bool isCompanionTitle(std::string_view title);

}  // namespace zeltaro::rig
