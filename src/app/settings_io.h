// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Moving every setting between the settings file and the main window model: the controls the
// model names, the station settings and the saved log.

#include <string>

namespace zeltaro::app {

class MainModel;

// path is the file system's own spelling of the file name (UTF-8), not CP932.

// Reads the file at path into the model, each value applied as it is read (the interval
// through its radio button's click). A missing file or key leaves the value as it is. Returns
// the saved notification log (empty when there is none); the caller puts it into SavedLog.
std::string LoadSettings(MainModel& model, const std::string& path);

struct SaveOutcome {
  bool ok = true;
  std::string message;  // on failure: "%s に書き込めません" with the path, CP932
  std::string reason;   // on failure: what the file system said, for a log or a console
};

// Writes every key from the model into the file at path. Keys the file already holds keep their
// place, others are appended, and the file is replaced in one step: a save that fails leaves
// the old file whole.
SaveOutcome SaveSettings(const MainModel& model, const std::string& path);

}  // namespace zeltaro::app
