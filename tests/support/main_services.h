// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The services most model tests give MainModel: pages from a fake HTTP client, the real sound
// alert playing onto a recording player (its file dialog scripted), and message boxes recorded.
// A test fixture derives from it and adds what its case needs (a clock, a mail server, ...) to
// what services() returns.

#include "alerts/sound_alert.h"
#include "app/main_model.h"
#include "support/fake_http_client.h"
#include "support/recorders.h"

namespace zeltaro::testing {

struct FakeMainServices {
  app::MainServices services() {
    app::MainServices s;
    s.http = &http;
    s.sound = &sound;
    s.messageBox = &box;
    return s;
  }

  platform::FakeHttpClient http;
  platform::RecordingSoundPlayer player;
  platform::ScriptedFileDialog dialog;
  alerts::SoundAlert sound{player, dialog, "/opt/zeltaro"};
  platform::RecordingMessageBox box;
};

}  // namespace zeltaro::testing
