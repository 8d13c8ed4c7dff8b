// SPDX-License-Identifier: GPL-3.0-or-later
// The longest time the window waits for its turn while the program works: a timer of 1 ms runs
// through each scenario, and the longest gap between two of its ticks (or between the start or
// the end and the nearest tick) is printed, with the median of five runs. Scenarios:
//   page check     "check page 1" on a page of 5,000 records from a server on loopback, three
//                  lists of 300, a log of 200 lines (as bench_side_by_side's WholeCheck)
//   slow mail      a mail to a server that answers every line after SECONDS (5 unless given
//                  as the first argument); the exchange is cut at its total time (12 s here,
//                  so two replies come), the waits pumping as the program's mail does, and
//                  once more without the pump, as the mail went before
//   Z SAVE, Z LOAD the settings file written and read again, about 1 MB (the lists' texts)
//   transfer       a log line carried into a HAMLOG window (the Win32 test double under Wine)
//                  through a running bridge: ten field messages, the rig key (150 ms) and the
//                  pointer; once with the bridge's waits pumping, as the program runs them, and
//                  once without, as they ran before; each also with the bridge's start, as at the
//                  program's first transfer. Only where the Wine test doubles are built,
//                  and under a display.
//   page check, library  a page of 100 spots whose first-QSO checks call HAMLOG's library (the
//                  test double) in the bridge, with the bridge running and with its start
// Run: bench/bench_gap_probe [SECONDS], or xvfb-run -a bench/bench_gap_probe [SECONDS]

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "alerts/mail_send.h"
#include "app/console_binding.h"
#include "app/main_model.h"
#include "bench/checking_station.h"
#include "bench/synthetic_page.h"
#include "platform/clock.h"
#include "platform/qt_http_client.h"
#include "platform/qt_line_connection.h"
#include "platform/qt_message_pump.h"

#ifdef ZELTARO_TEST_WINE
#include "app/hamlog_checker.h"
#include "bench/wine_setup.h"
#include "bridge_client/bridge_process.h"
#include "bridge_client/bridge_window_link.h"
#include "bridge_client/list_reader_database.h"
#include "settings/station_settings.h"
#include "text/codec.h"
#include "transfer/transfer_line.h"
#endif

namespace {

using namespace zeltaro;
using namespace std::chrono_literals;

// The longest gap in ms between the timer's turns while work() runs.
double longestGap(const std::function<void()>& work) {
  QElapsedTimer clock;
  std::vector<qint64> turns;
  QTimer timer;
  timer.setInterval(1);
  QObject::connect(&timer, &QTimer::timeout, [&] { turns.push_back(clock.nsecsElapsed()); });
  timer.start();
  QCoreApplication::processEvents();
  clock.start();
  turns.push_back(0);
  work();
  turns.push_back(clock.nsecsElapsed());
  timer.stop();
  qint64 longest = 0;
  for (std::size_t i = 1; i < turns.size(); ++i)
    longest = std::max(longest, turns[i] - turns[i - 1]);
  return static_cast<double>(longest) / 1e6;
}

void report(const char* name, const std::function<void()>& work, int runs = 5) {
  std::vector<double> gaps;
  for (int i = 0; i < runs; ++i) gaps.push_back(longestGap(work));
  std::sort(gaps.begin(), gaps.end());
  std::printf("%-32s longest gap: median %8.2f ms, min %8.2f, max %8.2f (%d runs)\n", name,
              gaps[gaps.size() / 2], gaps.front(), gaps.back(), runs);
  std::fflush(stdout);
}

struct FixedClock final : platform::Clock {
  platform::LocalDateTime now() const override { return {2026, 12, 10, 12, 0, 0}; }
};

#ifdef ZELTARO_TEST_WINE
struct NoOwnWindows final : transfer::OwnWindows {
  void raiseLastActive() override {}
  bool patrolWindowVisible() const override { return false; }
};
struct NoRig final : transfer::RigSide {
  void tune(std::string_view, std::string_view) override {}
  void sendToCompanion(std::string_view) override {}
  void focusCompanionWindow(bool, bool, bool) override {}
};

void transferScenario() {
  if (std::getenv("DISPLAY") == nullptr) {
    std::printf("transfer: skipped, no display (run under xvfb-run -a)\n");
    return;
  }
  bench::WineSetup wine(ZELTARO_TEST_WINE, ZELTARO_TEST_WIN_DIR);
  const std::string folder = wine.root() + "/Hamlog/";
  if (!wine.ok() || !wine.startFakeHamlog(folder)) {
    std::printf("transfer: skipped, Wine or the fake HAMLOG did not start\n");
    return;
  }
  settings::StationSettings station;
  station.set(1).HAMLOG = folder;
  platform::QtMessagePump pump(0, 1);
  NoOwnWindows own;
  NoRig rig;
  FixedClock fixed;
  const std::string line = text::sj("1___ 05/06 0900 STN1 7,003.5 CW 100110 東京都港区 599 QRV");
  for (platform::MessagePump* with :
       {static_cast<platform::MessagePump*>(&pump), static_cast<platform::MessagePump*>(nullptr)}) {
    bridgeclient::BridgeOptions o;
    o.wine = ZELTARO_TEST_WINE;
    o.exe = std::string(ZELTARO_TEST_WIN_DIR) + "/zeltaro-bridge.exe";
    o.prefix = wine.prefix();
    o.pump = with;
    bridgeclient::BridgeProcess bridge(o);
    bridgeclient::BridgeWindowLink link(bridge);
    // Started before, as it is after the program's first transfer.
    if (link.hamlogWindows().empty()) {
      std::printf("transfer: skipped, no HAMLOG window through the bridge\n");
      return;
    }
    transfer::Transfer t(station, {{&link, &own, &rig}, &fixed, {}});
    report(with ? "transfer" : "transfer, no pump", [&] { t.TransferLine(line); });
    // The program's first transfer also starts the bridge (about a second under Wine).
    report(with ? "transfer, bridge start" : "transfer, bridge start, no pump", [&] {
      bridge.stop();
      t.TransferLine(line);
    });
  }

  // A page check whose first-QSO checks call HAMLOG's library in the bridge: 100 spots, all on
  // list 1, which reads the library. Its requests hold the window; the page lets it run between
  // records.
  const std::string library = wine.root() + "/Library/";
  std::filesystem::create_directories(library);
  std::filesystem::copy_file(std::string(ZELTARO_TEST_WIN_DIR) + "/full/hamlog50.dll",
                             library + "hamlog50.dll");
  std::ofstream(library + "version.txt", std::ios::binary) << "50300";
  std::ofstream(library + "log.txt", std::ios::binary)
      << "1|JA1AAA|100101|7.010|CW||\n2|JA1ABC|100102|7.020|CW||\n";
  bench::CheckingStation checking(bench::syntheticPage(100));
  app::MainModel& model = checking.model;
  std::string all;
  for (int i = 0; i < 100; ++i) all += bench::callSign(i) + "\r\n";
  model.watchLists.Memo_List[0] = all;
  model.watchLists.Memo_List[1] = model.watchLists.Memo_List[2] = "\r\n";
  model.alerts.chkAlert = false;
  model.station.set(1).Use = true;
  model.station.set(1).HAMLOG = library;
  model.station.bridge.HamlogDll = {true, false, false};
  bridgeclient::BridgeOptions o;
  o.wine = ZELTARO_TEST_WINE;
  o.exe = std::string(ZELTARO_TEST_WIN_DIR) + "/zeltaro-bridge.exe";
  o.prefix = wine.prefix();
  o.pump = &pump;
  bridgeclient::BridgeProcess bridge(o);
  bridgeclient::ListReaderDatabase reader(model.station.first, model.station.bridge,
                                          model.station.adif,
                                          [&]() -> bridgeclient::BridgeProcess& { return bridge; });
  app::HamlogChecker checker(model.station.first, model.station.shared, nullptr, &reader);
  model.attachFirstQso(&checker);
  report("page check, library", [&] {
    model.logViews.Memo_Log.lines.clear();
    model.checkPage1();
  });
  report("page check, library, bridge start", [&] {
    bridge.stop();
    model.logViews.Memo_Log.lines.clear();
    model.checkPage1();
  });
  model.attachFirstQso(nullptr);
}
#endif

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const double slowSeconds = argc > 1 ? std::atof(argv[1]) : 5.0;

  {
    bench::CheckingStation station(bench::syntheticPage(5000));
    app::MainModel& model = station.model;
    model.watchLists.Memo_List[0] = bench::watchList(5000, 1, 7);
    model.watchLists.Memo_List[1] = bench::watchList(5000, 2, 11);
    model.watchLists.Memo_List[2] = bench::watchList(5000, 3, 13);
    std::vector<std::string> log;
    for (int i = 0; i < 200; ++i) log.push_back("1___old line " + std::to_string(i) + " \\r\\n x");
    report("page check", [&] {
      model.logViews.Memo_Log.lines = log;
      model.checkPage1();
    });
  }

  {
    QProcess peer;
    peer.start("python3", {QStringLiteral(ZELTARO_SOURCE_DIR "/tests/support/hostile_peer.py"),
                           "smtp-slow", QString::number(slowSeconds)});
    peer.waitForReadyRead(10000);
    const QByteArray first = peer.readLine().trimmed();
    const int port = first.startsWith("PORT ") ? first.mid(5).toInt() : 0;
    if (port == 0) {
      std::fprintf(stderr, "the slow mail server did not start\n");
      return 1;
    }
    alerts::MailSettings settings;
    settings.edtTo = "ja1abc@example.jp";
    settings.edtFrom = "station@example.jp";
    settings.edtSmtp = "127.0.0.1";
    settings.edtPort = std::to_string(port);
    FixedClock fixed;
    alerts::MailStatusModel status;
    // The mail as the program sends it (pumping), and without a pump, as it was sent before.
    platform::QtMessagePump pump(0, 1);
    for (platform::MessagePump* with : {static_cast<platform::MessagePump*>(&pump),
                                        static_cast<platform::MessagePump*>(nullptr)}) {
      platform::QtLineConnection conn(5s, 30s, 12s);
      conn.setPump(with);
      report(
          with ? "slow mail" : "slow mail, no pump",
          [&] {
            alerts::sendMail(settings, "1___STN1 7,010 CW\\r\\n", 1, "", conn, fixed, status);
          },
          1);
    }
    peer.kill();
    peer.waitForFinished();
  }

  {
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "zeltaro-gap-probe";
    std::filesystem::create_directories(dir);
    app::MainServices services;
    platform::NullMessagePump pump;
    services.pump = &pump;
    app::MainModel model(services);
    model.SettingsFile = (dir / "zeltaro.ini").string();
    // About 1 MB of settings: the three lists hold most of it.
    for (int l = 0; l < 3; ++l) {
      std::string& list = model.watchLists.Memo_List[static_cast<std::size_t>(l)];
      for (int i = 0; list.size() < 330'000; ++i)
        list += "JA" + std::to_string(l + 1) + "X" + std::to_string(i) + " ; note " +
                std::to_string(i) + "\r\n";
    }
    model.saveSettingsFile();
    std::printf("settings file: %llu bytes\n",
                static_cast<unsigned long long>(std::filesystem::file_size(model.SettingsFile)));
    report("Z SAVE", [&] { model.saveSettingsFile(); });
    model.commandLine = {"zeltaro", model.SettingsFile};
    app::ConsoleBinding binding(model);
    report("Z LOAD", [&] { binding.reload(); });
    std::filesystem::remove_all(dir);
  }

#ifdef ZELTARO_TEST_WINE
  transferScenario();
#endif
  return 0;
}
