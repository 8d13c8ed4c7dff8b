// SPDX-License-Identifier: GPL-3.0-or-later
// Pictures of the windows for the guides: the main window on a first start with a few log lines,
// the settings dialog's four tabs and a patrol list window with a walk under way. Run it under a
// real X server (scripts/screenshot.sh uses Xvfb) so that the program's fonts are drawn.
// Usage: zeltaro_screenshots <folder>; writes main-window.png, settings-tab1..4.png and
// patrol-window.png there and exits non-zero if any picture could not be written.
#include <QApplication>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/main_model.h"
#include "app/patrol_binding.h"
#include "app/spot_page.h"
#include "gui/main_window.h"
#include "gui/patrol_list_window.h"
#include "gui/settings_dialog.h"
#include "support/fake_http_client.h"
#include "support/fixed_clock.h"
#include "support/recorders.h"
#include "support/temp_dir.h"
#include "text/codec.h"

namespace {

using namespace zeltaro;
using namespace zeltaro::app;
using namespace zeltaro::app::ui;

bool save(QWidget& w, const QString& file) {
  QApplication::processEvents();
  if (w.grab().save(file)) return true;
  std::fprintf(stderr, "zeltaro_screenshots: cannot write %s\n", qPrintable(file));
  return false;
}

// The main window after "check" fetched a page with spots for the watch lists.
bool mainWindow(const QString& folder) {
  const std::string url = "http://127.0.0.1:1/one.html";
  platform::FakeHttpClient http;
  MainServices services;
  services.http = &http;
  MainModel model(services);
  model.pageChecks.edtURL[0] = url;
  model.watchLists.Memo_List[0] = "STN1\r\n";
  model.watchLists.Memo_List[1] = "SSB\r\n";
  model.watchLists.Memo_List[2] = "JA3\r\n";
  MainWindow form(model, {"zeltaro"});
  form.show();
  using zeltaro::testing::Spot;
  http.setPage(url, zeltaro::testing::spotPage(
                        {Spot{"STN1", "7,010"},
                         Spot{"JA3AAA", "14,020", "SSB"},
                         {"JA1ZZZ", "3,530", "CW", "100110", text::sj("東京都"), "tu"},
                         {"STN1", "21,074", "FT8"}}));
  // List 3 gains a call while the window is up, as when the operator types one in.
  model.watchLists.Memo_List[2] = "JA3\r\nJA1\r\n";
  model.pageChecks.chkURL[1] = true;
  auto* check = qobject_cast<QPushButton*>(form.control(QStringLiteral("btnChkUrl1")));
  if (check == nullptr) return false;
  check->click();
  model.caption = text::sj(" Zeltaro v2.11");
  form.refreshCaption();
  return save(form, folder + QStringLiteral("/main-window.png"));
}

// The settings dialog opened from the main window by its button, as the operator opens it.
bool settingsTabs(const QString& folder) {
  zeltaro::testing::TempDir dir;
  MainServices services;
  MainModel model(services);
  model.SettingsFile = "";
  MainWindow main(model, std::vector<std::string>{"/opt/zeltaro/zeltaro"});
  main.move(120, 90);
  main.show();
  platform::ScriptedFileDialog folders;
  folders.folderAnswer = dir.path();
  platform::RecordingMessageBox box;
  SettingsDialog dialog(model, nullptr,
                        settingsdialog::DialogServices{&folders, &box, "/nonexistent-prefix"});
  model.station.set(1).Code = true;
  model.station.set(1).HAMLOG = text::sj("/home/operator/.wine/drive_c/Hamlog/");
  bool ok = true;
  bool ran = false;
  QTimer::singleShot(0, &dialog, [&] {
    ran = true;
    for (int i = 0; i < 4; ++i) {
      dialog.tabs()->setCurrentIndex(i);
      ok = save(dialog, QStringLiteral("%1/settings-tab%2.png").arg(folder).arg(i + 1)) && ok;
    }
    dialog.close();
  });
  auto* open = qobject_cast<QPushButton*>(main.control(QStringLiteral("Button3")));
  if (open == nullptr) return false;
  open->click();
  return ran && ok;
}

struct NoTransfers final : patrol::LineTransfer {
  void transferLine(std::string_view) override {}
};

// A patrol list window part-way through a walk of four rows, one already done.
bool patrolWindow(const QString& folder) {
  MainModel model;
  model.station.trans[0] = {40, 50, 260, 780};
  model.station.set(1).HAMLOG = "C:\\HAMLOG\\";
  platform::FixedClock clock{{2026, 12, 9, 23, 30, 0}};
  NoTransfers transfers;
  PatrolListsBinding binding{model, clock, &transfers};
  PatrolListWindow form(model, binding, 1);
  patrol::PatrolWindow& w = form.window();
  const char* calls[] = {"JA1AAA", "JA2BBB", "JA3CCC", "JA4DDD"};
  for (int i = 0; i < 4; ++i)
    w.CheckListBox1.push_back(
        {"1___1 26/12/09 23:15 " + std::string(calls[i]) + " 7,010 CW 1001 Tokyo ", i != 3});
  w.Folder = "C:\\HAMLOG\\";
  w.CurrentRow = 2;
  w.ItemIndex = 0;
  w.CheckBox1 = true;
  w.applyPatrolSwitch();
  w.ProgressBar1 = 12;
  w.showWindow();
  form.show();
  form.syncFromModel();
  return save(form, folder + QStringLiteral("/patrol-window.png"));
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: zeltaro_screenshots <folder>\n");
    return 2;
  }
  const QString folder = QString::fromLocal8Bit(argv[1]);
  bool ok = mainWindow(folder);
  ok = settingsTabs(folder) && ok;
  ok = patrolWindow(folder) && ok;
  return ok ? 0 : 1;
}
