// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The target of a Windows shortcut (.lnk), read from the shell-link file format itself: the
// local base path of its LinkInfo (with the common path suffix), or else the path its item
// ID list spells (drive item, then the folder and file items, long names where present).

#include <optional>
#include <string>
#include <string_view>

namespace zeltaro::settingsdialog {

// The Windows path the shortcut bytes point at, in the ANSI code page (CP932) as the file holds
// it; nothing when the bytes are not a shortcut or name no local path.
std::optional<std::string> shellLinkTarget(std::string_view bytes);

}  // namespace zeltaro::settingsdialog
