// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Every setting of the settings file as one table over the main window's model, in the order
// the file is written. LoadSettings and SaveSettings loop over it, and the windows bind the
// controls that show a setting from its row. The station settings (condition sets, [First],
// [Tarvopc], [RigDirect]) stand in it as two runs of the settings dialog's rows.

#include <span>
#include <string_view>

#include "settings/setting_row.h"
#include "settings_dialog/station_rows.h"

namespace zeltaro::app {

class MainModel;

// The station settings' rows are the settings dialog's, over the station part of the model.
using SettingRow = settings::SettingRow<MainModel, settingsdialog::DialogTarget>;

std::span<const SettingRow> settingsTable();

// The row of a control (its name as the window gives it, "edtURL2", "chkList1Url3"), or null;
// *n receives the list number of a list row.
const SettingRow* settingRowForControl(std::string_view control, int* n = nullptr);

}  // namespace zeltaro::app
