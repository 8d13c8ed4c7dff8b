// SPDX-License-Identifier: GPL-3.0-or-later
// The bridge under Wine against Win32 test doubles: HAMLOG's window, the companion's window and
// HAMLOG's database library. One throw-away prefix for the whole program.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <thread>
#include <utility>

#include "bridge_client/bridge_companion_window.h"
#include "bridge_client/bridge_database.h"
#include "bridge_client/bridge_process.h"
#include "bridge_client/bridge_window_link.h"
#include "hamlog/first_qso_service.h"
#include "platform/message_box.h"
#include "platform/message_pump.h"
#include "support/recorders.h"
#include "support/temp_dir.h"
#include "text/codec.h"
#include "wine_support.h"

namespace zeltaro::bridgeclient {
namespace {

namespace fs = std::filesystem;
using testing::readBytes;
using testing::TempDir;
using testing::writeBytes;

using testing::wine::kWin;
using testing::wine::kWine;
// The program's one Wine prefix.
const testing::wine::WineEnvironment& kEnvironment = testing::wine::environment();

BridgeOptions options() {
  BridgeOptions o;
  o.wine = kWine;
  o.exe = kWin + "/zeltaro-bridge.exe";
  o.prefix = kEnvironment.prefix;
  o.report = [](std::string_view) {};
  return o;
}

using testing::wine::WinProgram;

std::string copyInto(const std::string& folder, const std::string& file) {
  fs::create_directories(folder);
  auto to = folder + "/" + fs::path(file).filename().string();
  fs::copy_file(file, to, fs::copy_options::overwrite_existing);
  return to;
}

TEST(HamlogWindows, FieldMessagesAndTheRigKeyReachTheListsOwnHamlog) {
  TempDir dir;
  auto one = dir.path() + "/HamlogA", two = dir.path() + "/HamlogB", three = dir.path() + "/Z";
  WinProgram a(copyInto(one, kWin + "/fake_windows.exe"), {"hamlog"});
  WinProgram b(copyInto(two, kWin + "/fake_windows.exe"), {"hamlog"});
  WinProgram c(copyInto(three, kWin + "/fake_windows.exe"), {"hamlog", "zero"});
  BridgeProcess bridge(options());
  BridgeWindowLink link(bridge);

  auto windows = link.hamlogWindows();
  ASSERT_EQ(windows.size(), 3u);
  // The third list's folder differs from HamlogA's only in letter case.
  auto table =
      hamlog::matchHamlogWindows(windows, {one + "/", two + "/", dir.path() + "/hamloga/"});
  ASSERT_NE(table[0], 0u);
  ASSERT_NE(table[1], 0u);
  EXPECT_NE(table[0], table[1]);
  EXPECT_EQ(table[2], 0u);
  auto zero = hamlog::matchHamlogWindows(windows, {three + "/", "", ""})[0];
  ASSERT_NE(zero, 0u);

  auto input = link.sendField(table[0], 0x20000, "STN1");
  EXPECT_NE(input, 0u);
  EXPECT_NE(link.sendField(table[1], 0x2000D, std::string(300, 'r')), 0u);
  EXPECT_EQ(link.sendField(zero, 0xB0000, "STN1"), 0u);

  EXPECT_TRUE(link.pressKey(input, 0x24, {.ctrl = true}));
  EXPECT_TRUE(link.pressKey(input, 0x24, {}));  // the held Ctrl was put back
  EXPECT_TRUE(link.pressKey(input, 0x70, {.shift = true, .alt = true}));
  EXPECT_FALSE(link.pressKey(0, 0x24, {.ctrl = true}));

  EXPECT_EQ(readBytes(one + "/record.txt"),
            "field 20000 4 STN1\n"
            "key 24 data 0 ctrl 1 shift 0 alt 0\n"
            "key 24 data 0 ctrl 0 shift 0 alt 0\n"
            "key 70 data 0 ctrl 0 shift 1 alt 1\n");
  EXPECT_EQ(readBytes(two + "/record.txt"), "field 2000D 255 " + std::string(255, 'r') + "\n");
  EXPECT_EQ(readBytes(three + "/record.txt"), "field B0000 4 STN1\n");
}

TEST(CompanionWindow, IsFoundRaisedAndThePointerPlaced) {
  WinProgram companion(kWin + "/fake_windows.exe", {"companion"});
  BridgeProcess bridge(options());
  BridgeWindowLink link(bridge);
  LinkCompanionWindow window(link);
  ASSERT_TRUE(window.find());
  window.activate(true);
  EXPECT_EQ(link.foregroundWindow(), link.findCompanion());
  EXPECT_EQ(link.pointer(), (std::pair<std::int32_t, std::int32_t>{160, 300}));
}

// A HAMLOG folder (a file-system path ending in "/") with the test library, its log and its
// version.
struct LibraryFolder {
  LibraryFolder(const TempDir& dir, const std::string& build, const std::string& version)
      : LibraryFolder(dir.path() + "/" + build + "/", build, version) {}
  LibraryFolder(std::string folder, const std::string& build, const std::string& version)
      : path(std::move(folder)) {
    copyInto(path, kWin + "/" + build + "/hamlog50.dll");
    writeBytes(path + "version.txt", version);
    writeBytes(path + "log.txt",
               "1|JA1AAA|100101|7.010|CW||\n"
               "2|JA1ABC|100102|7.020|CW||\n"
               "3|JA1ABC|100102|14.020|SSB||\n"
               "4|JA1ABD|100103|14.020|SSB||\n");
  }
  std::string calls() const { return readBytes(path + "calls.txt"); }
  std::string path;
};

struct Check {
  std::array<settings::FirstQsoConditionSet, 3> sets{};
  settings::SharedFirstSettings shared;
  platform::RecordingMessageBox box;
  Check(const std::string& folder, bool band) {
    sets[0].Use = true;
    sets[0].Band = band;
    sets[0].HAMLOG = folder;
  }
  bool first(BridgeDatabase& db, std::string_view call, std::string_view freq) {
    hamlog::FirstQsoService service(sets, shared, &box, &db);
    return service.isFirstQso(1, call, freq, "", "CW");
  }
};

TEST(HamlogLibrary, AChecksCallsReachTheLibraryInOrder) {
  TempDir dir;
  LibraryFolder lib(dir, "full", "50300");
  BridgeProcess bridge(options());
  BridgeDatabase db(bridge, Check(lib.path, true).sets);
  Check check(lib.path, true);
  BridgeDatabase checked(bridge, check.sets);
  // JA1ABC is in the log on 7 and 14 MHz; a 21 MHz spot walks its records to JA1ABD.
  EXPECT_TRUE(check.first(checked, "JA1ABC", "21,020"));
  EXPECT_FALSE(check.first(checked, "JA1ABC", "14,025"));
  EXPECT_TRUE(check.box.shown.empty());
  EXPECT_EQ(lib.calls(),
            "attach\nGetThdllVersion\nSetDbsShare 1\nHamlogOpen 0 zeroed here 1\n"
            "THW_seek JA1ABC 16\nFreqPCheck 7.020\nFreqPCheck 21.020\nTHW_skip 1 16\n"
            "FreqPCheck 14.020\nFreqPCheck 21.020\nTHW_skip 1 16\nHamlogClose 0\ndetach\n"
            "attach\nGetThdllVersion\nSetDbsShare 1\nHamlogOpen 0 zeroed here 1\n"
            "THW_seek JA1ABC 16\nFreqPCheck 7.020\nFreqPCheck 14.025\nTHW_skip 1 16\n"
            "FreqPCheck 14.020\nFreqPCheck 14.025\nHamlogClose 0\ndetach\n");
}

TEST(HamlogLibrary, OldMissingNameAndFailedOpenAnswerNo) {
  TempDir dir;
  LibraryFolder old(dir, "full", "502FF");
  LibraryFolder lacking(dir, "nodbr", "50300");
  BridgeProcess bridge(options());

  Check oldCheck(old.path, false);
  BridgeDatabase oldDb(bridge, oldCheck.sets);
  EXPECT_FALSE(oldCheck.first(oldDb, "JA9ZZZ", "7,010"));
  EXPECT_FALSE(oldCheck.first(oldDb, "JA9ZZZ", "7,010"));
  EXPECT_EQ(oldCheck.box.shown.size(), 2u);
  EXPECT_EQ(old.calls(), "attach\nGetThdllVersion\ndetach\nattach\nGetThdllVersion\ndetach\n");

  Check lackingCheck(lacking.path, false);
  BridgeDatabase lackingDb(bridge, lackingCheck.sets);
  EXPECT_FALSE(lackingCheck.first(lackingDb, "JA9ZZZ", "7,010"));
  EXPECT_EQ(lacking.calls(), "attach\ndetach\n");

  writeBytes(old.path + "version.txt", "50300");
  writeBytes(old.path + "calls.txt", "");
  writeBytes(old.path + "open_fails", "");
  EXPECT_FALSE(oldCheck.first(oldDb, "JA9ZZZ", "7,010"));
  EXPECT_EQ(old.calls(),
            "attach\nGetThdllVersion\nSetDbsShare 1\nHamlogOpen 0 zeroed here 1\ndetach\n");
}

// Within a page the library is loaded and the log opened once, at the page's first check, and
// let go at its end; a failed open is asked once per page; another folder or a bridge that died
// meanwhile is loaded afresh.
TEST(HamlogLibrary, APageLoadsTheLibraryAndOpensTheLogOnce) {
  TempDir dir;
  LibraryFolder lib(dir, "full", "50300");
  BridgeProcess bridge(options());
  Check check(lib.path, true);
  BridgeDatabase db(bridge, check.sets);
  const std::string opening =
      "attach\nGetThdllVersion\nSetDbsShare 1\nHamlogOpen 0 zeroed here 1\n";
  // A frequency's band class is asked once per page.
  const std::string at21 =
      "THW_seek JA1ABC 16\nFreqPCheck 7.020\nFreqPCheck 21.020\nTHW_skip 1 16\n"
      "FreqPCheck 14.020\nTHW_skip 1 16\n";
  const std::string at14 = "THW_seek JA1ABC 16\nFreqPCheck 14.025\nTHW_skip 1 16\n";
  const std::string at21Again = "THW_seek JA1ABC 16\nTHW_skip 1 16\nTHW_skip 1 16\n";
  const std::string closing = "HamlogClose 0\ndetach\n";

  db.beginPage();
  EXPECT_TRUE(check.first(db, "JA1ABC", "21,020"));
  EXPECT_FALSE(check.first(db, "JA1ABC", "14,025"));
  EXPECT_TRUE(check.first(db, "JA1ABC", "21,020"));
  EXPECT_EQ(lib.calls(), opening + at21 + at14 + at21Again);
  db.endPage();
  EXPECT_EQ(lib.calls(), opening + at21 + at14 + at21Again + closing);

  // The log cannot be opened: the library goes at once, and the page asks no more.
  writeBytes(lib.path + "calls.txt", "");
  writeBytes(lib.path + "open_fails", "");
  db.beginPage();
  EXPECT_FALSE(check.first(db, "JA1ABC", "21,020"));
  EXPECT_FALSE(check.first(db, "JA9ZZZ", "21,020"));
  EXPECT_EQ(lib.calls(), opening + "detach\n");
  db.endPage();
  EXPECT_EQ(lib.calls(), opening + "detach\n");
  fs::remove(lib.path + "open_fails");

  // The folder setting changes during a page: the first folder's library goes before the
  // second one's is loaded.
  LibraryFolder second(dir.path() + "/second/", "full", "50300");
  writeBytes(lib.path + "calls.txt", "");
  db.beginPage();
  EXPECT_TRUE(check.first(db, "JA1ABC", "21,020"));
  check.sets[0].HAMLOG = second.path;
  EXPECT_TRUE(check.first(db, "JA1ABC", "21,020"));
  EXPECT_EQ(lib.calls(), opening + at21 + closing);
  EXPECT_EQ(second.calls(), opening + at21);

  // The bridge dies: that check's answer is dropped, and the next loads the library again in
  // the bridge started for it.
  const pid_t died = bridge.pid();
  ASSERT_EQ(kill(died, SIGKILL), 0);
  EXPECT_FALSE(check.first(db, "JA1ABC", "21,020"));
  EXPECT_TRUE(check.first(db, "JA1ABC", "21,020"));
  EXPECT_NE(bridge.pid(), died);
  db.endPage();
  EXPECT_EQ(second.calls(), opening + at21 + opening + at21 + closing);
}

// The settings hold a HAMLOG folder in CP932, Wine's paths are UTF-8, and the prefix's ANSI code
// page need not hold Japanese at all. "ソ" ends in the byte of "\" in CP932.
TEST(HamlogFolder, AJapaneseFolderMatchesItsWindowAndLoadsItsLibrary) {
  const std::string folder = kEnvironment.prefix + "/drive_c/ハムログソフト/";
  const std::string setting = text::sj(folder);
  ASSERT_NE(setting, folder);
  WinProgram hamlog(copyInto(folder, kWin + "/fake_windows.exe"), {"hamlog"});
  LibraryFolder lib(folder, "full", "50300");
  BridgeProcess bridge(options());
  BridgeWindowLink link(bridge);

  const auto windows = link.hamlogWindows();
  ASSERT_EQ(windows.size(), 1u);
  const auto table = hamlog::matchHamlogWindows(windows, {setting, "", ""});
  ASSERT_NE(table[0], 0u);
  EXPECT_NE(link.sendField(table[0], 0x2000C, text::sj("東京都")), 0u);
  EXPECT_EQ(readBytes(folder + "record.txt"), "field 2000C 6 " + text::sj("東京都") + "\n");

  // The check loads the library from the folder and opens the log beside it: JA1ABC is in it
  // on 7 and 14 MHz.
  Check check(setting, true);
  BridgeDatabase db(bridge, check.sets);
  EXPECT_TRUE(check.first(db, "JA1ABC", "21,020"));
  EXPECT_FALSE(check.first(db, "JA1ABC", "14,025"));
  const std::string calls = lib.calls();
  EXPECT_TRUE(
      calls.starts_with("attach\nGetThdllVersion\nSetDbsShare 1\nHamlogOpen 0 zeroed here 1\n"
                        "THW_seek JA1ABC 16\n"))
      << calls;
  EXPECT_TRUE(calls.ends_with("FreqPCheck 14.020\nFreqPCheck 14.025\nHamlogClose 0\ndetach\n"))
      << calls;
}

TEST(BridgeProcess, WithoutAPrefixWineIsNeverStarted) {
  TempDir dir;
  // Neither a missing folder nor an empty one is a prefix: Wine would fill either.
  for (const std::string& prefix : {dir.path() + "/missing", dir.path()}) {
    std::vector<std::string> reports;
    auto o = options();
    o.prefix = prefix;
    o.report = [&](std::string_view line) { reports.emplace_back(line); };
    BridgeProcess bridge(o);
    BridgeWindowLink link(bridge);
    EXPECT_TRUE(link.hamlogWindows().empty());
    EXPECT_FALSE(link.movePointer(1, 2));
    EXPECT_EQ(bridge.starts(), 0);
    EXPECT_EQ(reports,
              std::vector<std::string>{
                  "zeltaro: the Windows bridge is not available (no Wine prefix at " + prefix +
                  "; Zeltaro does not make one); HAMLOG's window and library steps are "
                  "skipped"});
  }
  EXPECT_TRUE(dir.names().empty());
}

TEST(BridgeProcess, ABridgeKilledDuringARequestIsReplacedAtTheNextOne) {
  std::vector<std::string> reports;
  auto o = options();
  o.report = [&](std::string_view line) { reports.emplace_back(line); };
  BridgeProcess bridge(o);
  BridgeWindowLink link(bridge);
  ASSERT_TRUE(link.movePointer(10, 20));
  pid_t first = bridge.pid();
  std::thread killer([first] {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    kill(first, SIGKILL);
  });
  // A key press takes 150 ms: the bridge dies in the middle of it.
  WinProgram hamlog(copyInto(TempDir().path() + "x", kWin + "/fake_windows.exe"), {"hamlog"});
  killer.join();
  EXPECT_FALSE(link.movePointer(1, 2) && bridge.pid() == first);
  EXPECT_EQ(reports.size(), 1u);
  EXPECT_TRUE(link.movePointer(30, 40));
  EXPECT_NE(bridge.pid(), first);
  EXPECT_EQ(link.pointer(), (std::pair<std::int32_t, std::int32_t>{30, 40}));
}

TEST(BridgeProcess, ABridgeKilledInTheMiddleOfAKeyPressFailsThatStepOnly) {
  std::vector<std::string> reports;
  auto o = options();
  o.report = [&](std::string_view line) { reports.emplace_back(line); };
  TempDir dir;
  const auto folder = dir.path() + "/Hamlog";
  WinProgram hamlog(copyInto(folder, kWin + "/fake_windows.exe"), {"hamlog"});
  BridgeProcess bridge(o);
  BridgeWindowLink link(bridge);
  const auto window = hamlog::matchHamlogWindows(link.hamlogWindows(), {folder + "/", "", ""})[0];
  ASSERT_NE(window, 0u);
  const auto input = link.sendField(window, 0x20000, "STN1");
  ASSERT_NE(input, 0u);
  const pid_t first = bridge.pid();
  // The press holds the bridge for 150 ms (the key goes out after 50); it dies 100 ms into it.
  std::thread killer([first] {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    kill(first, SIGKILL);
  });
  EXPECT_FALSE(link.pressKey(input, 0x24, {.ctrl = true}));
  killer.join();
  EXPECT_EQ(reports.size(), 1u);
  // The next step starts a new bridge and works.
  EXPECT_NE(link.sendField(window, 0x20006, "7.01000"), 0u);
  EXPECT_NE(bridge.pid(), first);
  // Whether the key went out before the kill depends on the machine's load.
  const std::string record = readBytes(folder + "/record.txt");
  EXPECT_TRUE(record == "field 20000 4 STN1\nfield 20006 7 7.01000\n" ||
              record ==
                  "field 20000 4 STN1\nkey 24 data 0 ctrl 1 shift 0 alt 0\n"
                  "field 20006 7 7.01000\n")
      << record;
}

// A pump that counts the window's turns and, at the next one, runs what the turn is to do.
struct TurnPump final : platform::MessagePump {
  int turns = 0;
  std::function<void()> atNextTurn;
  void pump() override {
    ++turns;
    if (auto turn = std::exchange(atNextTurn, nullptr)) turn();
  }
};

// With a pump the window gets its turn during the bridge's start and during a reply; a request
// made in that turn waits for the one under way, and both are answered.
TEST(BridgeProcess, ARequestMadeInTheWindowsTurnWaitsForTheOneUnderWay) {
  TempDir dir;
  const auto folder = dir.path() + "/Hamlog";
  WinProgram hamlog(copyInto(folder, kWin + "/fake_windows.exe"), {"hamlog"});
  TurnPump pump;
  auto o = options();
  o.pump = &pump;
  BridgeProcess bridge(o);
  BridgeWindowLink link(bridge);

  std::vector<hamlog::HamlogWindow> windows;
  pump.atNextTurn = [&] {
    EXPECT_TRUE(bridge.busy());
    windows = link.hamlogWindows();
  };
  EXPECT_TRUE(link.movePointer(10, 20));  // starts the bridge
  EXPECT_GT(pump.turns, 0);
  EXPECT_EQ(bridge.starts(), 1);
  const auto window = hamlog::matchHamlogWindows(windows, {folder + "/", "", ""})[0];
  ASSERT_NE(window, 0u);
  EXPECT_EQ(link.pointer(), (std::pair<std::int32_t, std::int32_t>{10, 20}));

  const auto input = link.sendField(window, 0x20000, "STN1");
  ASSERT_NE(input, 0u);
  pump.turns = 0;
  hamlog::WindowHandle answer = 0;
  pump.atNextTurn = [&] { answer = link.sendField(window, 0x20006, "7.01000"); };
  // The key press holds the bridge for 150 ms; the field goes after it.
  EXPECT_TRUE(link.pressKey(input, 0x24, {.ctrl = true}));
  EXPECT_EQ(answer, input);
  EXPECT_GE(pump.turns, 1);
  EXPECT_FALSE(bridge.busy());
  EXPECT_EQ(bridge.starts(), 1);
  EXPECT_EQ(readBytes(folder + "/record.txt"),
            "field 20000 4 STN1\n"
            "key 24 data 0 ctrl 1 shift 0 alt 0\n"
            "field 20006 7 7.01000\n");
}

// A turn of the window that outlasts the request's time (a dialog the operator answers): the
// reply that came meanwhile is taken, and the bridge is not taken for dead.
TEST(BridgeProcess, AReplyThatCameDuringALongTurnOfTheWindowCounts) {
  std::vector<std::string> reports;
  TempDir dir;
  const auto folder = dir.path() + "/Hamlog";
  WinProgram hamlog(copyInto(folder, kWin + "/fake_windows.exe"), {"hamlog"});
  TurnPump pump;
  auto o = options();
  o.pump = &pump;
  o.requestTimeout = std::chrono::milliseconds(400);
  o.report = [&](std::string_view line) { reports.emplace_back(line); };
  BridgeProcess bridge(o);
  BridgeWindowLink link(bridge);
  const auto window = hamlog::matchHamlogWindows(link.hamlogWindows(), {folder + "/", "", ""})[0];
  ASSERT_NE(window, 0u);
  const auto input = link.sendField(window, 0x20000, "STN1");
  ASSERT_NE(input, 0u);
  const pid_t running = bridge.pid();
  pump.atNextTurn = [] { std::this_thread::sleep_for(std::chrono::milliseconds(600)); };
  EXPECT_TRUE(link.pressKey(input, 0x24, {.ctrl = true}));
  EXPECT_EQ(bridge.pid(), running);
  EXPECT_TRUE(reports.empty());
}

TEST(BridgeProcess, WithoutWineTheCheckAnswersNoAtOnce) {
  std::vector<std::string> reports;
  auto o = options();
  o.wine = "wine-that-is-not-installed";
  o.report = [&](std::string_view line) { reports.emplace_back(line); };
  BridgeProcess bridge(o);
  BridgeDatabase db(bridge, Check("/nowhere/", false).sets);
  Check check("/nowhere/", false);
  BridgeDatabase checked(bridge, check.sets);
  auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(check.first(checked, "JA1ABC", "7,010"));
  EXPECT_FALSE(check.first(checked, "JA1ABC", "7,010"));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  EXPECT_EQ(reports.size(), 1u);
}

}  // namespace
}  // namespace zeltaro::bridgeclient
