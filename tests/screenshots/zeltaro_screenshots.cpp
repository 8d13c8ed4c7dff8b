// SPDX-License-Identifier: GPL-3.0-or-later
// Pictures of the windows for the guides: the main window on a first start with a few log lines,
// the settings dialog's four tabs, a patrol list window with a walk under way and the page
// tester. Run it under a
// real X server (scripts/screenshot.sh uses Xvfb) so that the program's fonts are drawn.
// Usage: zeltaro_screenshots <folder>; writes main-window.png, settings-tab1..4.png,
// patrol-window.png and page-tester.png there and exits non-zero if any picture could not be
// written.
#include <QApplication>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <array>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/main_model.h"
#include "app/patrol_binding.h"
#include "app/spot_page.h"
#include "gui/main_window.h"
#include "gui/page_test_window.h"
#include "gui/patrol_list_window.h"
#include "gui/settings_dialog.h"
#include "platform/event_log.h"
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

// A station whose URL 1 serves the page the fake HTTP client is given, with three watch lists.
struct StationWithPage {
  static constexpr const char* kUrl = "http://127.0.0.1:1/one.html";
  explicit StationWithPage(const std::array<const char*, 3>& lists) {
    model.pageChecks.edtURL[0] = kUrl;
    for (std::size_t i = 0; i < lists.size(); ++i) model.watchLists.Memo_List[i] = lists[i];
  }
  platform::FakeHttpClient http;
  MainModel model{MainServices{.http = &http}};
};

// The main window after "check" fetched a page with spots for the watch lists.
bool mainWindow(const QString& folder) {
  StationWithPage station({"STN1\r\n", "SSB\r\n", "JA3\r\n"});
  MainModel& model = station.model;
  MainWindow form(model, {"zeltaro"});
  form.show();
  using zeltaro::testing::Spot;
  station.http.setPage(
      StationWithPage::kUrl,
      zeltaro::testing::spotPage({Spot{"STN1", "7,010"},
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

// The page tester over the main window: a page of table rows fetched from URL 1, and the
// template guessed from one call seen on it; the event log holds an earlier failed fetch.
bool pageTester(const QString& folder) {
  StationWithPage station({"JA1\r\n", "SSB\r\n", "JA3\r\n"});
  MainModel& model = station.model;
  platform::FakeHttpClient& http = station.http;
  std::string page =
      "<html><body><table class=\"spots\">\r\n<tr><th>UTC</th><th>DX</th><th>Freq</th>"
      "<th>Mode</th><th>Comment</th><th>Spotter</th></tr>\r\n";
  const char* rows[][6] = {{"0328Z", "JA1ABC", "7012.5", "CW", "CQ JCC 1001", "JH1XXX"},
                           {"0330Z", "JH3XYZ", "14025.0", "SSB", "POTA JA-1234", "JA2YYY"},
                           {"0331Z", "JA3AAA", "21074.0", "FT8", "", "JR6ZZZ"},
                           {"0335Z", "W1AW", "3525.0", "CW", "tnx", "JA1QQQ"}};
  for (const auto& r : rows)
    page += std::string("<tr><td class=\"utc\">") + r[0] + "</td><td class=\"dx\">" + r[1] +
            "</td><td class=\"freq\">" + r[2] + "</td><td class=\"mode\">" + r[3] +
            "</td><td class=\"cmt\">" + r[4] + "</td><td class=\"by\">" + r[5] + "</td></tr>\r\n";
  http.setPage(StationWithPage::kUrl, page + "</table></body></html>\r\n");
  MainWindow form(model, {"zeltaro"});
  PageTestWindow tester(model, http, nullptr);
  platform::reportEvent(
      "page fetch failed: http://spots.example.net/html/80CW.html: host not "
      "found: spots.example.net");
  tester.move(60, 40);
  tester.resize(1000, 640);
  tester.showAndRun();
  tester.guess(QStringLiteral("JH3XYZ"), QStringLiteral("14025.0"));
  QApplication::processEvents();
  return save(tester, folder + QStringLiteral("/page-tester.png"));
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
  ok = pageTester(folder) && ok;
  return ok ? 0 : 1;
}
