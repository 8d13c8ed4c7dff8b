// SPDX-License-Identifier: GPL-3.0-or-later
// The first-QSO check of the running station with each list's reader: HAMLOG's QSO files read
// directly, or HAMLOG's own library (the test hamlog50.dll) called in the bridge under Wine.
// The test library records its calls in calls.txt of its folder.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "gui/station.h"
#include "hamlog/hdb_writer.h"
#include "support/event_lines.h"
#include "support/temp_dir.h"
#include "wine_support.h"

namespace zeltaro::app {
namespace {

namespace fs = std::filesystem;
using zeltaro::testing::readBytes;
using zeltaro::testing::TempDir;
using zeltaro::testing::writeBytes;

using testing::wine::kWin;
using testing::wine::kWine;
// The program's one Wine prefix.
const testing::wine::WineEnvironment& kEnvironment = testing::wine::environment();

// A HAMLOG folder holding both logs that disagree on purpose: the test library's log has
// JA1ABC on 7 MHz only, the QSO file on 21 MHz only. A 21 MHz spot of JA1ABC is therefore a
// first QSO on its band through the library and not one through the file.
std::string hamlogFolder(const TempDir& dir, const std::string& name) {
  const std::string folder = dir.path() + "/" + name + "/";
  fs::create_directories(folder);
  fs::copy_file(kWin + "/full/hamlog50.dll", folder + "hamlog50.dll");
  writeBytes(folder + "version.txt", "50300");
  writeBytes(folder + "log.txt", "1|JA1ABC|100102|7.020|CW||\n");
  writeBytes(folder + "hamlog.hdb",
             zeltaro::testing::hdbFile({zeltaro::testing::plainQso("JA1ABC", "21.020", "CW")}));
  return folder;
}

const std::string kLibraryCheck =
    "attach\nGetThdllVersion\nSetDbsShare 1\nHamlogOpen 0 zeroed here 1\n"
    "THW_seek JA1ABC 16\nFreqPCheck 7.020\nFreqPCheck 21.020\nTHW_skip 1 16\nHamlogClose 0\n"
    "detach\n";

class FirstQsoReaders : public ::testing::Test {
 protected:
  void make(BridgeLaunch launch) {
    station = std::make_unique<Station>(dir.path(), std::string(), std::move(launch));
    auto& st = station->model().station;
    for (int n = 1; n <= 2; ++n) {
      st.set(n).Use = true;
      st.set(n).Band = true;
      st.set(n).HAMLOG = hamlogFolder(dir, "Hamlog" + std::to_string(n));
    }
  }
  bool first(int list) {
    return station->firstQso().isFirstQso(list, {"JA1ABC", "21,020", "", "CW"});
  }
  std::string calls(int list) {
    const std::string file = station->model().station.set(list).HAMLOG + "calls.txt";
    return fs::exists(file) ? readBytes(file) : "(none)";
  }

  TempDir dir;
  std::unique_ptr<Station> station;
};

TEST_F(FirstQsoReaders, EachListReadsThroughItsOwnChoice) {
  make(BridgeLaunch{kWine, kWin + "/zeltaro-bridge.exe"});
  auto& bridge = station->model().station.bridge;
  EXPECT_EQ(bridge.HamlogDll, (std::array<bool, 3>{}));  // the files are read by default
  EXPECT_FALSE(first(1));
  EXPECT_FALSE(first(2));
  EXPECT_EQ(calls(1), "(none)");
  EXPECT_EQ(calls(2), "(none)");

  bridge.HamlogDll = {true, false, false};
  EXPECT_TRUE(first(1));
  EXPECT_FALSE(first(2));
  EXPECT_EQ(calls(1), kLibraryCheck);
  EXPECT_EQ(calls(2), "(none)");

  // The choice applies at the next check.
  bridge.HamlogDll = {false, true, false};
  EXPECT_FALSE(first(1));
  EXPECT_TRUE(first(2));
  EXPECT_EQ(calls(1), kLibraryCheck);
  EXPECT_EQ(calls(2), kLibraryCheck);
}

TEST_F(FirstQsoReaders, WithoutWineTheLibraryListAnswersNoAndTheOtherRunsOn) {
  make(BridgeLaunch{"wine-that-is-not-installed", kWin + "/zeltaro-bridge.exe"});
  station->model().station.bridge.HamlogDll = {false, true, false};
  // List 1's QSO file does not have JA1ABC at all.
  writeBytes(station->model().station.set(1).HAMLOG + "hamlog.hdb",
             zeltaro::testing::hdbFile({zeltaro::testing::plainQso("JA9ZZZ", "21.020", "CW")}));
  ::testing::internal::CaptureStderr();
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(first(2));
  EXPECT_TRUE(first(1));
  EXPECT_FALSE(first(2));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  EXPECT_EQ(
      zeltaro::testing::withStampsMarked(::testing::internal::GetCapturedStderr()),
      "zeltaro: <stamp> the Windows bridge is not available (wine-that-is-not-installed: No such "
      "file or directory); HAMLOG's window and library steps are skipped\n");
  EXPECT_EQ(calls(2), "(none)");
}

}  // namespace
}  // namespace zeltaro::app
