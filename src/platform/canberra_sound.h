// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The alert sound on Linux, through libcanberra (which reaches PulseAudio or ALSA).

#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "platform/sound.h"

struct ca_context;

namespace zeltaro::platform {

class CanberraSoundPlayer final : public SoundPlayer {
 public:
  // What one request ended in: the file itself, the theme's "bell" in its place, or the
  // window system's beep when neither could be played.
  enum class Outcome { File, Bell, Beep };
  using OutcomeObserver = std::function<void(const std::string& fileCp932, Outcome)>;

  // The observer, if any, is called on the sound thread after each request was handed to the
  // sound server (tests and diagnostics).
  explicit CanberraSoundPlayer(OutcomeObserver observer = {});
  ~CanberraSoundPlayer() override;
  CanberraSoundPlayer(const CanberraSoundPlayer&) = delete;
  CanberraSoundPlayer& operator=(const CanberraSoundPlayer&) = delete;

  void play(std::string_view fileCp932) override;

 private:
  void run();
  Outcome playNow(const std::string& fileCp932);
  Outcome attempt(const std::string& fileCp932);

  OutcomeObserver observer_;
  ca_context* context_ = nullptr;  // only touched on the sound thread
  bool reportedNoDevice_ = false;  // sound thread only
  std::mutex mutex_;
  std::condition_variable wake_;
  std::optional<std::string> pending_;  // the newest request; older unstarted ones are dropped
  bool stopping_ = false;
  std::thread thread_;
};

}  // namespace zeltaro::platform
