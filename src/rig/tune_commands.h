// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What tuning the rig to a spot sends, per family, as pure data: the exact bytes for the rig
// port or the texts for the companion program, each followed by its pause. Nothing here
// touches a device.

#include <string>
#include <string_view>
#include <vector>

#include "settings/station_settings.h"

namespace zeltaro::rig {

struct RigStep {
  enum class Route { Port, Companion };
  Route route = Route::Port;
  std::string bytes;  // raw bytes for the port; for the companion the command text with "\r"
  int waitMs = 0;     // pause after sending
  bool operator==(const RigStep&) const = default;
};

// The steps that set frequency (MHz text, "7.00350") and mode (the spot's mode text) on the rig
// of rig.Maker: the mode command first when the mode is in the family's table, then the
// frequency command. With RigTarvopc on only ICOM produces steps, routed to the companion.
// Families 0 ... 4 only; others give none.
std::vector<RigStep> buildTuneSteps(std::string_view frequencyText, std::string_view modeText,
                                    const settings::RigDirectSettings& rig);

// The pieces, for the tests and for other routes.
// ICOM CI-V frame: FE FE rig pc command data FD.
std::string icomFrame(int rigId, int pcId, char command, std::string_view data);
// The frequency digits of an ICOM frequency command: f x 1 000 000 as whole hertz, at least
// ten digits, packed two digits a byte (later digit low), least significant byte first.
// Empty when f is negative or not finite.
std::string icomFrequencyBcd(double megahertz);
// Hexadecimal digit pairs to bytes: each pair at offsets 0, 2, 4 ... read base 16 up to the
// first non-hex character (an unreadable pair gives 0).
std::string bytesFromHexPairs(std::string_view hex);
// Bytes as upper-case hexadecimal, two digits a byte.
std::string upperHex(std::string_view bytes);

}  // namespace zeltaro::rig
