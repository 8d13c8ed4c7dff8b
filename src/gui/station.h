// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The running station: the real platform services and the main window model built on them.
// main() makes one; its lifetime is the program's.

#include <memory>
#include <string>

#include "app/main_model.h"

namespace zeltaro::platform {
class HttpClient;
}
namespace zeltaro::patrol {
class LineTransfer;
}

namespace zeltaro::app {

class HamlogChecker;

// How the Windows bridge is run; the defaults are the shipped program's.
struct BridgeLaunch {
  std::string wine = "wine";  // looked up in PATH
  std::string exe;            // empty: zeltaro-bridge.exe beside the executable
};

class Station {
 public:
  // exeDirCp932: the folder of the running executable (the default sound and the bridge live
  // there); settingsFile: the settings file as the file system spells it, read at start-up and
  // written on close (empty: none).
  explicit Station(std::string exeDirCp932, std::string settingsFile = {},
                   BridgeLaunch bridge = {});
  ~Station();
  Station(const Station&) = delete;
  Station& operator=(const Station&) = delete;

  MainModel& model() { return *model_; }
  // The transfer into HAMLOG, for the patrol lists' walk.
  patrol::LineTransfer& patrolTransfer();
  // The first-QSO question per list, as the page check asks it.
  FirstQsoChecker& firstQso();
  // The program's page fetch (the page tester fetches through it too).
  platform::HttpClient& http();

 private:
  struct Services;
  std::unique_ptr<Services> services_;
  std::unique_ptr<MainModel> model_;
  std::unique_ptr<HamlogChecker> firstQso_;
};

}  // namespace zeltaro::app
