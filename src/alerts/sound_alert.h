// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The alert sound: playing the file named in edtSound and choosing that file.

#include <string>
#include <string_view>

#include "platform/file_dialog.h"
#include "platform/sound.h"

namespace zeltaro::alerts {

inline constexpr std::string_view kSoundFileFilter =
    "Wave files (*.wav)|*.wav|All files (*.*)|*.*||";

// The name handed to the player for an edtSound text. A relative name is looked up beside the
// executable, so that the default "chimes.wav" that ships there plays wherever the program was
// started from; when no such file is there, the name goes on as it is and the player's
// default-sound rule applies. Absolute names (also Windows ones such as "C:\...") go on as they
// are.
std::string soundFileToPlay(std::string_view edtSound, std::string_view exeDirCp932);

class SoundAlert {
 public:
  // exeDirCp932: the folder of the running executable.
  SoundAlert(platform::SoundPlayer& player, platform::FileDialog& dialog, std::string exeDirCp932)
      : player_(player), dialog_(dialog), exeDir_(std::move(exeDirCp932)) {}

  // Plays edtSound in the background; an empty edtSound plays nothing.
  void btnSoundTestClick(std::string_view edtSound);
  // Lets the user pick the file, proposing the current text; a confirmed choice puts its full
  // path into edtSound, a cancel leaves it alone.
  void btnSoundFileClick(std::string& edtSound);

 private:
  platform::SoundPlayer& player_;
  platform::FileDialog& dialog_;
  std::string exeDir_;
};

}  // namespace zeltaro::alerts
