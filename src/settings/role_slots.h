// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Which extraction slot (1 ... 20) holds which property of a spot: the HTTP_DATE ... HTTP_RMKS
// keys of [First]. Here rather than with the extraction so that the settings dialog, which
// edits them, needs nothing else of it.

namespace zeltaro::settings {

// The extraction slots $#01 ... $#20.
inline constexpr int kSlotCount = 20;

struct RoleSlots {
  int HTTP_DATE = 2;
  int HTTP_TIME = 3;
  int HTTP_CALL = 4;
  int HTTP_FREQ = 5;
  int HTTP_MODE = 6;
  int HTTP_CODE = 7;
  int HTTP_QTH = 8;
  int HTTP_RMKS = 10;

  bool operator==(const RoleSlots&) const = default;
};

}  // namespace zeltaro::settings
