// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/canberra_sound.h"

#include <canberra.h>
#include <dlfcn.h>

#include <QApplication>
#include <QMetaObject>
#include <cstdio>

#include "text/codec.h"

namespace zeltaro::platform {

namespace {

// Every alert sound uses this id, so that a new one can cut off the one still playing.
constexpr uint32_t kAlertSoundId = 1;

void beepOnGuiThread() {
  // QApplication::beep belongs to the GUI thread; without an application there is no one to
  // hear it anyway.
  if (QCoreApplication* app = QCoreApplication::instance()) {
    QMetaObject::invokeMethod(
        app, [] { QApplication::beep(); }, Qt::QueuedConnection);
  }
}

void quietAlsaError(const char*, int, const char*, int, const char*, ...) {}

// ALSA writes some eighteen lines to stderr for every attempt to open a device that is not
// there; a headless station would fill its journal with them at every alert. Its error
// handler is replaced by a silent one for the whole process (libcanberra's ALSA backend shares
// the one libasound). Looked up at run time, so that no ALSA headers are needed and a system
// without ALSA still runs.
void silenceAlsa() {
  static const bool done = [] {
    void* alsa = dlopen("libasound.so.2", RTLD_NOW | RTLD_LOCAL);  // kept loaded for good
    if (alsa == nullptr) return false;
    using Handler = void (*)(const char*, int, const char*, int, const char*, ...);
    using SetHandler = int (*)(Handler);
    auto set = reinterpret_cast<SetHandler>(dlsym(alsa, "snd_lib_error_set_handler"));
    if (set == nullptr) return false;
    set(quietAlsaError);
    return true;
  }();
  (void)done;
}

}  // namespace

CanberraSoundPlayer::CanberraSoundPlayer(OutcomeObserver observer)
    : observer_(std::move(observer)), thread_([this] { run(); }) {}

CanberraSoundPlayer::~CanberraSoundPlayer() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_one();
  thread_.join();
}

void CanberraSoundPlayer::play(std::string_view fileCp932) {
  // Opening the file and the audio device can take a while (or hang on a stuck sound server),
  // so the caller's thread only leaves a note for the sound thread.
  {
    std::lock_guard lock(mutex_);
    pending_ = std::string(fileCp932);
  }
  wake_.notify_one();
}

void CanberraSoundPlayer::run() {
  for (;;) {
    std::string file;
    {
      std::unique_lock lock(mutex_);
      wake_.wait(lock, [this] { return stopping_ || pending_.has_value(); });
      if (stopping_) break;
      file = std::move(*pending_);
      pending_.reset();
    }
    const Outcome outcome = playNow(file);
    if (observer_) observer_(file, outcome);
  }
  if (context_) ca_context_destroy(context_);
}

CanberraSoundPlayer::Outcome CanberraSoundPlayer::playNow(const std::string& fileCp932) {
  const Outcome outcome = attempt(fileCp932);
  // One line when the sound device goes missing, none while it stays missing.
  if (outcome == Outcome::Beep && !reportedNoDevice_) {
    std::fprintf(stderr, "zeltaro: no sound device or sound server: alerts beep instead\n");
    reportedNoDevice_ = true;
  } else if (outcome != Outcome::Beep) {
    reportedNoDevice_ = false;
  }
  return outcome;
}

CanberraSoundPlayer::Outcome CanberraSoundPlayer::attempt(const std::string& fileCp932) {
  silenceAlsa();
  if (!context_) {
    if (ca_context_create(&context_) != CA_SUCCESS) {
      context_ = nullptr;
      beepOnGuiThread();
      return Outcome::Beep;
    }
    ca_context_change_props(context_, CA_PROP_APPLICATION_NAME, "Zeltaro", nullptr);
  }
  ca_context_cancel(context_, kAlertSoundId);  // nothing playing is not an error for us

  const std::string path = text::utf8FromCp932(fileCp932);
  int rc = ca_context_play(context_, kAlertSoundId, CA_PROP_MEDIA_FILENAME, path.c_str(),
                           CA_PROP_MEDIA_ROLE, "event", CA_PROP_CANBERRA_CACHE_CONTROL, "never",
                           nullptr);
  if (rc == CA_SUCCESS) return Outcome::File;

  rc = ca_context_play(context_, kAlertSoundId, CA_PROP_EVENT_ID, "bell", CA_PROP_MEDIA_ROLE,
                       "event", nullptr);
  if (rc == CA_SUCCESS) return Outcome::Bell;

  // No sound server or device: start afresh next time, one may have come up meanwhile.
  ca_context_destroy(context_);
  context_ = nullptr;
  beepOnGuiThread();
  return Outcome::Beep;
}

}  // namespace zeltaro::platform
