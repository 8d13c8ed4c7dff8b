// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A screen reader announces a top-level window made of a plain widget (the mail status window,
// the patrol lists) as a "filler", not as a window. Such windows get the role of a window,
// named by their caption as the main window and the dialogs are.

namespace zeltaro::app::ui {

// Installs the rule once for the whole program; later calls do nothing.
void announceWidgetWindowsAsWindows();

}  // namespace zeltaro::app::ui
