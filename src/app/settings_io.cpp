// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/settings_io.h"

#include <cstdio>

#include "app/main_model.h"
#include "app/settings_table.h"
#include "settings/profile_file.h"
#include "text/codec.h"

namespace zeltaro::app {

std::string LoadSettings(MainModel& m, const std::string& path) {
  const settings::ProfileFile f(path);
  m.logViews.SavedLog.clear();
  settings::loadRows(f, m, settingsTable());
  // The cut value is what the program now works with (a folder without its final "/"): say so.
  for (const std::string& key : f.cutOnRead())
    std::fprintf(stderr, "zeltaro: %s: %s is longer than %zu bytes and was cut to them\n",
                 path.c_str(), key.c_str(), settings::kSingleLineLimit);
  m.loadMichiNoEkiData();
  return std::move(m.logViews.SavedLog);
}

SaveOutcome SaveSettings(const MainModel& m, const std::string& path) {
  // Loaded first, so that keys kept in place and keys of other versions survive.
  settings::ProfileFile f(path);
  settings::saveRows(f, m, settingsTable());
  SaveOutcome out;
  out.ok = f.save(&out.reason);
  if (out.ok && !f.cutValues().empty()) {
    // The rest is saved, but this save did not keep everything it was given.
    out.ok = false;
    out.reason = settings::describeCutValues(f.cutValues());
  } else if (out.ok && !f.longValuesKept().empty()) {
    // Nor did it write what the program holds of those values.
    out.ok = false;
    out.reason = settings::describeLongValues(f.longValuesKept());
  }
  // The path is the file system's (UTF-8); the message is shown as CP932 like every text.
  if (!out.ok) out.message = settings::cannotWriteMessage(text::cp932FromUtf8(path));
  return out;
}

}  // namespace zeltaro::app
