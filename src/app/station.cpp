#include "app/station.h"

#include "alerts/sound_alert.h"
#include "platform/qt_browser.h"
#include "platform/canberra_sound.h"
#include "platform/clock.h"
#include "platform/qt_file_dialog.h"
#include "platform/qt_http_client.h"
#include "platform/qt_line_connection.h"
#include "platform/qt_message_box.h"
#include "platform/qt_message_pump.h"

namespace zeltaro::app {

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
  model_ = std::make_unique<MainModel>(s);
  model_->SettingsFile = std::move(settingsFile);
}

Station::~Station() = default;

}  // namespace zeltaro::app
