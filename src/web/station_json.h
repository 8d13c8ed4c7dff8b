// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The station as the web page shows it and changes it, in UTF-8 JSON: the live part (the
// aligned log, the lamps and counters, the switches), the watch lists and the set-up settings.
// Settings are read and written through the rows of the settings table, by the names of the
// controls that show them, so the page and the window store a value the same way.

#include <QJsonObject>
#include <string>

namespace zeltaro::app {
class MainModel;
}

namespace zeltaro::web {

// The log as the aligned pane shows it, the lamps, counters, page, alert and mail switches and
// the patrol interval.
QJsonObject liveState(app::MainModel& m);
// A cheap fingerprint of liveState: it changes whenever liveState would.
std::size_t liveFingerprint(app::MainModel& m);

// The three watch lists: their texts and which pages each searches.
QJsonObject listsState(app::MainModel& m);

// The set-up settings the page edits, by control name; the mail password is never given, only
// whether one is set.
QJsonObject setupState(app::MainModel& m);

// Applies the values of settings (control name -> value) found among the set-up settings;
// anything else in it is ignored. The mail password is replaced only when it is given.
// Returns whether the HAMLOG folders changed.
struct SetupChange {
  bool foldersChanged = false;
  bool rigChanged = false;
  int applied = 0;
};
SetupChange applySetup(app::MainModel& m, const QJsonObject& settings);

}  // namespace zeltaro::web
