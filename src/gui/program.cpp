// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/program.h"

#include "app/command_line.h"
#include "web/web_console.h"

namespace zeltaro::gui {

Program::Program(const std::string& folder, const std::string& settingsLocation,
                 const std::vector<std::string>& args)
    : station_(folder, settingsLocation),
      consoleBinding_(station_.model()),
      remoteConsole_(consoleBinding_, consoleMessages_),
      patrolLists_(station_.model(), patrolClock_, &station_.patrolTransfer()) {
  remoteConsole_.setUtf8(app::parseCommandLine(args).utf8Console);
  mainWindow_ = std::make_unique<app::ui::MainWindow>(model(), args);
  // After the start-up sequence, which has read the settings. What the page changes shows in
  // the window as a console command's change does.
  const web::WebOptions webOptions = web::webOptions(model());
  if (webOptions.on) {
    webConsole_ = std::make_unique<web::WebConsole>(model(), consoleBinding_,
                                                    [this] { mainWindow_->syncFromModel(); });
    webConsole_->attachPageTester(station_.http(), &station_.firstQso());
    if (!webConsole_->start(webOptions)) webConsole_.reset();
  }
}

Program::~Program() = default;

void Program::openOtherWindows() {
  app::ui::MainWindow& mainWindow = *mainWindow_;
  // What a console command changed shows in the window before its reply goes out.
  remoteConsole_.setAfterCommand([&mainWindow] { mainWindow.syncFromModel(); });
  settingsDialog_ = std::make_unique<app::ui::SettingsDialog>(model());
  mailStatus_ = std::make_unique<app::ui::MailStatusWindow>();
  patrolList1_ = std::make_unique<app::ui::PatrolListWindow>(model(), patrolLists_, 1);
  patrolList2_ = std::make_unique<app::ui::PatrolListWindow>(model(), patrolLists_, 2);
  patrolList3_ = std::make_unique<app::ui::PatrolListWindow>(model(), patrolLists_, 3);
  // The page tester, opened by the main window's "試験" button; it follows the main window's
  // separators, template and Body as they are edited.
  pageTest_ =
      std::make_unique<app::ui::PageTestWindow>(model(), station_.http(), &station_.firstQso(),
                                                [&mainWindow] { mainWindow.syncFromModel(); });
  QObject::connect(&mainWindow, &app::ui::MainWindow::pageSettingsEdited, pageTest_.get(),
                   [tester = pageTest_.get()] { tester->settingsEdited(); });
  // A step of one window may change the others and the main window's "new" switch.
  patrolLists_.afterChange = [this] {
    mainWindow_->syncFromModel();
    patrolList1_->syncFromModel();
    patrolList2_->syncFromModel();
    patrolList3_->syncFromModel();
  };
}

}  // namespace zeltaro::gui
