#include "platform/canberra_sound.h"

#include <canberra.h>

#include <QApplication>
#include <QMetaObject>

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
