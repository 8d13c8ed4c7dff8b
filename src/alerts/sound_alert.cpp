// SPDX-License-Identifier: GPL-3.0-or-later
#include "alerts/sound_alert.h"

#include <filesystem>
#include <system_error>

#include "text/codec.h"

namespace zeltaro::alerts {

namespace {

bool isAbsolute(std::string_view name) {
  if (name.starts_with('/') || name.starts_with('\\')) return true;
  // "C:\..." or "C:/...": a settings file brought over from Windows.
  const auto isLetter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
  return name.size() >= 3 && isLetter(name[0]) && name[1] == ':' &&
         (name[2] == '\\' || name[2] == '/');
}

}  // namespace

std::string soundFileToPlay(std::string_view edtSound, std::string_view exeDirCp932) {
  if (edtSound.empty() || exeDirCp932.empty() || isAbsolute(edtSound)) {
    return std::string(edtSound);
  }
  std::string beside(exeDirCp932);
  if (beside.back() != '/') beside += '/';
  beside += edtSound;
  std::error_code ec;
  if (std::filesystem::is_regular_file(std::filesystem::path(text::utf8FromCp932(beside)), ec)) {
    return beside;
  }
  return std::string(edtSound);
}

void SoundAlert::btnSoundTestClick(std::string_view edtSound) {
  if (edtSound.empty()) return;
  player_.play(soundFileToPlay(edtSound, exeDir_));
}

void SoundAlert::btnSoundFileClick(std::string& edtSound) {
  if (std::optional<std::string> chosen = dialog_.openFile(edtSound, kSoundFileFilter)) {
    edtSound = std::move(*chosen);
  }
}

}  // namespace zeltaro::alerts
