// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The check a HAMLOG folder must pass before a list takes it: its database, its index and its
// library must be there (under any letter case of their names).

#include <string>
#include <string_view>

namespace zeltaro::settingsdialog {

// The message box text for what folderFs lacks, CP932; empty when all three files are there.
// An empty folder (nothing chosen) lacks all three.
std::string missingHamlogFiles(const std::string& folderFs);

// The box's caption.
inline constexpr std::string_view kMissingFilesCaption = "Zeltaro";

}  // namespace zeltaro::settingsdialog
