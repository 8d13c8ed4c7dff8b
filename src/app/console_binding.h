// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main model as the remote console drives it: each console action forwarded to the model's
// field or handler, and the console's start-up steps handed to the model's sequence while a
// console is attached.

#include "app/main_links.h"
#include "console/console_model.h"

namespace zeltaro::app {

class MainModel;

class ConsoleBinding final : public console::ConsoleModel, private ConsoleLink {
 public:
  explicit ConsoleBinding(MainModel& model) : model_(model) {}
  ~ConsoleBinding() override;
  ConsoleBinding(const ConsoleBinding&) = delete;
  ConsoleBinding& operator=(const ConsoleBinding&) = delete;

  std::string& listText(int list) override;
  void listChanged(int list) override;
  bool& listEnabledForUrl(int list, int url) override;
  bool listEnabledForUrl(int list, int url) const override;
  const std::vector<std::string>& logLines() const override;
  void clearLog() override;
  bool saveSettings(std::string* reason) override;
  const std::string& settingsFile() const override;
  void reload() override;
  bool intervalOff() const override;
  int selectedInterval() const override;
  void clickIntervalButton(int minutes) override;
  void clickIntervalOff() override;
  bool& pageEnabled(int url) override;
  bool pageEnabled(int url) const override;
  bool& soundAlert() override;
  bool soundAlert() const override;
  bool& mailForwarding() override;
  bool mailForwarding() const override;
  bool configButton() const override;
  void setConfigButton(bool on) override;
  void testMail() override;
  void testSound() override;
  bool checkRunning() const override;
  void checkPage(int url) override;
  void checkPageThen(int url, std::function<void()> done) override;
  void attachConsole(console::ConsoleStartup* console) override;
  std::uint16_t consolePort() const override;
  const std::string& consolePassword() const override;
  void showConsoleStatus(const std::string& event) override;

 private:
  // The model's start-up steps, passed on to the attached console.
  void clearPendingInput() override;
  void listen() override;

  MainModel& model_;
  console::ConsoleStartup* console_ = nullptr;
};

}  // namespace zeltaro::app
