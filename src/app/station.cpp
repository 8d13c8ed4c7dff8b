#include "app/station.h"

#include "alerts/sound_alert.h"
#include "app/hamlog_checker.h"
#include "platform/canberra_sound.h"
#include "platform/clock.h"
#include "platform/qt_browser.h"
#include "platform/qt_file_dialog.h"
#include "platform/qt_http_client.h"
#include "platform/qt_line_connection.h"
#include "platform/qt_message_box.h"
#include "platform/qt_message_pump.h"
#include "rig/rig_system.h"

namespace zeltaro::app {

namespace {
// The rig control of rig/, made once the model (which owns its settings) exists.
struct RigControlLink final : RigLink {
  std::unique_ptr<rig::RigSystem> system;
  void open() override { system->control().openAtStart(); }
  void close() override { system->control().close(); }
  void settingsDialogClosed(const settings::RigDirectSettings& before) override {
    system->control().settingsDialogClosed(before);
  }
};
}  // namespace

struct Station::Services {
  explicit Services(std::string exeDir) : sound(player, fileDialog, std::move(exeDir)) {}
  platform::QtMessagePump pump;
  platform::QtHttpClient http;
  platform::QtBrowser browser;
  platform::SystemClock clock;
  platform::CanberraSoundPlayer player;
  platform::QtFileDialog fileDialog;
  alerts::SoundAlert sound;
  platform::QtLineConnection smtp;
  platform::QtMessageBox messageBox;
  RigControlLink rig;
};

Station::Station(std::string exeDirCp932, std::string settingsFile)
    : services_(std::make_unique<Services>(std::move(exeDirCp932))) {
  MainServices s;
  s.pump = &services_->pump;
  s.http = &services_->http;
  s.browser = &services_->browser;
  s.clock = &services_->clock;
  s.sound = &services_->sound;
  s.smtp = &services_->smtp;
  s.messageBox = &services_->messageBox;
  s.rig = &services_->rig;
  model_ = std::make_unique<MainModel>(s);
  // The checker reads the model's condition sets at every check.
  firstQso_ =
      std::make_unique<HamlogChecker>(model_->station.first, model_->station.shared, s.messageBox);
  model_->attachFirstQso(firstQso_.get());
  services_->rig.system = std::make_unique<rig::RigSystem>(
      model_->station.rigDirect, model_->station.tarvopc, &services_->messageBox);
  model_->SettingsFile = std::move(settingsFile);
}

Station::~Station() { model_->attachFirstQso(nullptr); }

}  // namespace zeltaro::app
