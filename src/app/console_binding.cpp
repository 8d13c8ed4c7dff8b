// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/console_binding.h"

#include "app/main_model.h"

namespace zeltaro::app {

ConsoleBinding::~ConsoleBinding() {
  if (console_ != nullptr) model_.attachConsole(nullptr);
}

std::string& ConsoleBinding::listText(int list) { return model_.listText(list); }

void ConsoleBinding::listChanged(int list) {
  switch (list) {
    case 1:
      model_.refreshList1Counter();
      break;
    case 2:
      model_.refreshList2Counter();
      break;
    default:
      model_.refreshList3Counter();
      break;
  }
}

bool& ConsoleBinding::listEnabledForUrl(int list, int url) {
  return model_.listEnabledForUrl(list, url);
}
bool ConsoleBinding::listEnabledForUrl(int list, int url) const {
  return static_cast<const MainModel&>(model_).listEnabledForUrl(list, url);
}

const std::vector<std::string>& ConsoleBinding::logLines() const {
  return model_.logViews.Memo_Log2.lines;
}
void ConsoleBinding::clearLog() { model_.clearLogs(); }

bool ConsoleBinding::saveSettings(std::string* reason) { return model_.saveSettingsFile(reason); }
const std::string& ConsoleBinding::settingsFile() const { return model_.SettingsFile; }
void ConsoleBinding::reload() {
  model_.patrolClock.Timer1Enabled = false;
  model_.startUp(model_.commandLine);  // ends by starting Timer1 again
}

bool ConsoleBinding::intervalOff() const { return model_.patrolClock.radioTimeSel_Off; }
int ConsoleBinding::selectedInterval() const { return model_.selectedInterval(); }
void ConsoleBinding::clickIntervalButton(int minutes) { model_.clickIntervalButton(minutes); }
void ConsoleBinding::clickIntervalOff() { model_.switchPatrolOff(); }

bool& ConsoleBinding::pageEnabled(int url) {
  return model_.pageChecks.chkURL[static_cast<std::size_t>(url - 1)];
}
bool ConsoleBinding::pageEnabled(int url) const {
  return model_.pageChecks.chkURL[static_cast<std::size_t>(url - 1)];
}
bool& ConsoleBinding::soundAlert() { return model_.alerts.chkAlert; }
bool ConsoleBinding::soundAlert() const { return model_.alerts.chkAlert; }
bool& ConsoleBinding::mailForwarding() { return model_.alerts.mail.chkMail; }
bool ConsoleBinding::mailForwarding() const { return model_.alerts.mail.chkMail; }
bool ConsoleBinding::configButton() const { return model_.logViews.CheckBox1; }
void ConsoleBinding::setConfigButton(bool on) {
  model_.logViews.CheckBox1 = on;
  model_.applyConfigSwitch();
}

void ConsoleBinding::testMail() { model_.sendMailNow(); }
void ConsoleBinding::testSound() { model_.playTestSound(); }
bool ConsoleBinding::checkRunning() const { return model_.checkWaits(); }
void ConsoleBinding::checkPage(int url) {
  switch (url) {
    case 1:
      model_.checkPage1();
      break;
    case 2:
      model_.checkPage2();
      break;
    case 3:
      model_.checkPage3();
      break;
  }
}
void ConsoleBinding::checkPageThen(int url, std::function<void()> done) {
  model_.UrlCheckThen(url, std::move(done));
}

void ConsoleBinding::attachConsole(console::ConsoleStartup* console) {
  console_ = console;
  model_.attachConsole(console != nullptr ? static_cast<ConsoleLink*>(this) : nullptr);
}
std::uint16_t ConsoleBinding::consolePort() const { return model_.consolePort; }
const std::string& ConsoleBinding::consolePassword() const { return model_.consolePassword; }
void ConsoleBinding::showConsoleStatus(const std::string& event) { model_.edtStatus = event; }

void ConsoleBinding::clearPendingInput() {
  if (console_ != nullptr) console_->clearPendingInput();
}
void ConsoleBinding::listen() {
  if (console_ != nullptr) console_->listen();
}

}  // namespace zeltaro::app
