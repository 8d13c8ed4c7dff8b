// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/program.h"

#include "app/command_line.h"

namespace zeltaro::gui {

Program::Program(const std::string& folder, const std::string& settingsLocation,
                 const std::vector<std::string>& args)
    : station_(folder, settingsLocation),
      consoleBinding_(station_.model()),
      remoteConsole_(consoleBinding_, consoleMessages_),
      patrolLists_(station_.model(), patrolClock_, &station_.patrolTransfer()) {
  remoteConsole_.setUtf8(app::parseCommandLine(args).utf8Console);
  form1_ = std::make_unique<app::ui::TForm1>(model(), args);
}

void Program::openOtherWindows() {
  app::ui::TForm1& form1 = *form1_;
  // What a console command changed shows in the window before its reply goes out.
  remoteConsole_.setAfterCommand([&form1] { form1.syncFromModel(); });
  form2_ = std::make_unique<app::ui::TForm2>(model());
  form3_ = std::make_unique<app::ui::TForm3>();
  form4_ = std::make_unique<app::ui::TForm4>(model(), patrolLists_, 1);
  form4b_ = std::make_unique<app::ui::TForm4>(model(), patrolLists_, 2);
  form4c_ = std::make_unique<app::ui::TForm4>(model(), patrolLists_, 3);
  // A step of one window may change the others and the main window's "new" switch.
  patrolLists_.afterChange = [this] {
    form1_->syncFromModel();
    form4_->syncFromModel();
    form4b_->syncFromModel();
    form4c_->syncFromModel();
  };
}

}  // namespace zeltaro::gui
