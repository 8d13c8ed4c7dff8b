// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program as the remote console sees it: what its commands read and do, and the hooks of
// the console itself. The console knows the program only through this; the program's main
// model implements it (app/console_binding.h). Texts are CP932.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace zeltaro::console {

// The console's steps in the program's start-up sequence.
class ConsoleStartup {
 public:
  virtual ~ConsoleStartup() = default;
  virtual void clearPendingInput() = 0;
  // Listens on consolePort() with consolePassword().
  virtual void listen() = 0;
};

// Every action is the one the matching click or edit in the main window runs, change handling
// included.
class ConsoleModel {
 public:
  virtual ~ConsoleModel() = default;

  // Watch list 1 ... 3: its text, the edit's change handling, and whether it applies to page
  // (URL) 1 ... 3.
  virtual std::string& listText(int list) = 0;
  virtual void listChanged(int list) = 0;
  virtual bool& listEnabledForUrl(int list, int url) = 0;
  virtual bool listEnabledForUrl(int list, int url) const = 0;

  // The log as its first pane shows it, and its clear button.
  virtual const std::vector<std::string>& logLines() const = 0;
  virtual void clearLog() = 0;

  // The settings file: saving (reason says why it failed), its path, and reloading it with the
  // start-up sequence as the program started.
  virtual bool saveSettings(std::string* reason) = 0;
  virtual const std::string& settingsFile() const = 0;
  virtual void reload() = 0;

  // The check interval: off, or the selected button's minutes (2 ... 5), and clicks on them.
  virtual bool intervalOff() const = 0;
  virtual int selectedInterval() const = 0;
  virtual void clickIntervalButton(int minutes) = 0;
  virtual void clickIntervalOff() = 0;

  // The switches: page (URL) 1 ... 3, the sound alert, mail forwarding; the Config button box.
  virtual bool& pageEnabled(int url) = 0;
  virtual bool pageEnabled(int url) const = 0;
  virtual bool& soundAlert() = 0;
  virtual bool soundAlert() const = 0;
  virtual bool& mailForwarding() = 0;
  virtual bool mailForwarding() const = 0;
  virtual bool configButton() const = 0;
  virtual void setConfigButton(bool on) = 0;

  // The test buttons: mail, sound and a check of page 1 ... 3 now; or, while a check (or a
  // transfer into HAMLOG) runs, the page's check in its turn with done called after it.
  virtual void testMail() = 0;
  virtual void testSound() = 0;
  virtual bool checkRunning() const = 0;
  virtual void checkPage(int url) = 0;
  virtual void checkPageThen(int url, std::function<void()> done) = 0;

  // The console itself: its start-up steps (null when it goes), its port and password from the
  // command line, and each server event for the status field.
  virtual void attachConsole(ConsoleStartup* console) = 0;
  virtual std::uint16_t consolePort() const = 0;
  virtual const std::string& consolePassword() const = 0;
  virtual void showConsoleStatus(const std::string& event) = 0;
};

}  // namespace zeltaro::console
