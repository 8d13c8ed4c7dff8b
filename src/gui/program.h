// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's parts wired together: the station (the model over the real services), the
// remote console, the patrol lists and the six windows in their fixed order. main() owns the
// process (lock, signals, event loop); this owns what runs in it.

#include <memory>
#include <string>
#include <vector>

#include "app/console_binding.h"
#include "app/patrol_binding.h"
#include "console/remote_console.h"
#include "gui/mail_status_window.h"
#include "gui/main_window.h"
#include "gui/page_test_window.h"
#include "gui/patrol_list_window.h"
#include "gui/settings_dialog.h"
#include "gui/station.h"
#include "platform/clock.h"
#include "platform/qt_message_box.h"

namespace zeltaro::web {
class WebConsole;
}

namespace zeltaro::gui {

class Program {
 public:
  // The station, the console, the patrol lists and the main window (whose construction runs
  // the start-up sequence). folder is the executable's folder (CP932); args the whole command
  // line, the executable first.
  Program(const std::string& folder, const std::string& settingsLocation,
          const std::vector<std::string>& args);
  ~Program();
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  app::MainModel& model() { return station_.model(); }
  app::ui::MainWindow& mainWindow() { return *mainWindow_; }
  console::RemoteConsole& console() { return remoteConsole_; }
  // The web console, when the settings or the command line ask for it and it could start.
  web::WebConsole* webConsole() { return webConsole_.get(); }

  // The other windows, once the run goes on.
  void openOtherWindows();

 private:
  app::Station station_;
  // Before the main window: its construction runs the start-up sequence, which starts the
  // console listening.
  platform::QtMessageBox consoleMessages_;
  app::ConsoleBinding consoleBinding_;
  console::RemoteConsole remoteConsole_;
  // The patrol lists, before the main window: its start-up refreshes the panes, which feeds
  // them; their walk transfers into HAMLOG as a double-click does.
  platform::SystemClock patrolClock_;
  app::PatrolListsBinding patrolLists_;
  std::unique_ptr<app::ui::MainWindow> mainWindow_;
  std::unique_ptr<app::ui::SettingsDialog> settingsDialog_;
  std::unique_ptr<app::ui::MailStatusWindow> mailStatus_;
  std::unique_ptr<app::ui::PatrolListWindow> patrolList1_, patrolList2_, patrolList3_;
  std::unique_ptr<app::ui::PageTestWindow> pageTest_;
  std::unique_ptr<web::WebConsole> webConsole_;
};

}  // namespace zeltaro::gui
