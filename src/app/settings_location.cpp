// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/settings_location.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "settings/station_settings.h"

namespace zeltaro::app {

std::string settingsLocation(const std::string& exePath, bool exeFolderWritable,
                             const char* xdgConfigHome, const char* home) {
  const std::string beside = settings::settingsPathFor(exePath);
  if (exeFolderWritable) return beside;
  std::string config;
  if (xdgConfigHome != nullptr && xdgConfigHome[0] == '/') {
    config = xdgConfigHome;
  } else if (home != nullptr && home[0] != '\0') {
    config = std::string(home) + "/.config";
  } else {
    return beside;  // nowhere else to go; saving will say that it cannot write
  }
  const std::string name = std::filesystem::path(beside).filename().string();
  return config + "/zeltaro/" + name;
}

std::string settingsLocationForThisRun(const std::string& exePath) {
  const std::string folder = std::filesystem::path(exePath).parent_path().string();
  const bool writable = access(folder.c_str(), W_OK) == 0;
  const std::string path =
      settingsLocation(exePath, writable, std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
  if (!writable) {
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
  }
  return path;
}

}  // namespace zeltaro::app
