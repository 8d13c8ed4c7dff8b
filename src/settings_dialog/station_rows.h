// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The settings the settings dialog edits, as rows of the settings file's table: the condition
// sets ([First_1] ... [First_3]), [First], [Tarvopc], [RigDirect] and [Adif]. The main window's table
// has them at their places in the file, and the dialog binds its controls from them.

#include <span>
#include <string>
#include <vector>

#include "settings/setting_row.h"
#include "settings/station_settings.h"
#include "settings/role_slots.h"

namespace zeltaro::settingsdialog {

// The settings the dialog edits: the HAMLOG side's and the extraction role slots.
struct DialogTarget {
  settings::StationSettings& station;
  settings::RoleSlots& roles;
};

using StationRow = settings::SettingRow<DialogTarget>;

// The rows from [First_1] to [First] MOUSE_SEL, then those from [First] NEW_STNS to the end of
// [RigDirect]: the file has the main window's NEW_AUTO between them.
std::span<const StationRow> conditionRows();
std::span<const StationRow> patrolAndRigRows();
// [Adif], written after every section the Windows layout has.
std::span<const StationRow> adifRows();

// The items of the rig lists (UTF-8).
const std::vector<std::string>& makerItems();  // [RigDirect] Maker
const std::vector<std::string>& speedItems();  // [RigDirect] Bps

}  // namespace zeltaro::settingsdialog
