#pragma once
// Playing the alert sound. Names are CP932 bytes, as everywhere in the core.

#include <string>
#include <string_view>
#include <vector>

namespace zeltaro::platform {

class SoundPlayer {
 public:
  virtual ~SoundPlayer() = default;
  // Starts playing the WAV file and returns at once; the sound plays in the background and cuts
  // off one still playing. A file that is missing or cannot be played gives the system's default
  // sound instead, never an error.
  virtual void play(std::string_view fileCp932) = 0;
};

// Records the names it was asked to play.
class RecordingSoundPlayer final : public SoundPlayer {
 public:
  void play(std::string_view fileCp932) override { played.emplace_back(fileCp932); }
  std::vector<std::string> played;
};

}  // namespace zeltaro::platform
