// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Playing the alert sound. Names are CP932 bytes, as everywhere in the core.

#include <string>
#include <string_view>

namespace zeltaro::platform {

class SoundPlayer {
 public:
  virtual ~SoundPlayer() = default;
  // Starts playing the WAV file and returns at once; the sound plays in the background and cuts
  // off one still playing. A file that is missing or cannot be played gives the system's default
  // sound instead, never an error.
  virtual void play(std::string_view fileCp932) = 0;
};

}  // namespace zeltaro::platform
