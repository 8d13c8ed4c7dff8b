// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The rig families of [RigDirect] Maker, in the order of the settings' maker list.

#include <cstdint>
#include <string_view>

#include "settings/station_settings.h"

namespace zeltaro::rig {

enum class Maker : std::int32_t {
  Icom = 0,
  Yaesu1 = 1,    // five-byte binary commands, frequency BCD most significant first
  Yaesu2 = 2,    // five-byte binary commands, frequency BCD least significant first
  Yaesu3 = 3,    // text commands ("FA...;")
  Kenwood1 = 4,  // text commands
  Rigctld = 5,   // Hamlib's network daemon, which shares the rig with other programs
};

static_assert(settings::kRigMakerNames.size() == static_cast<std::size_t>(Maker::Rigctld) + 1);

// The families that talk over the serial port.
constexpr bool isSerialMaker(std::int32_t maker) { return maker >= 0 && maker <= 4; }

// A frequency text in MHz ("7.00350") as a number. Blanks around it are allowed; anything else
// that is not a plain decimal number reads as 0.
double readMegahertz(std::string_view text);

}  // namespace zeltaro::rig
